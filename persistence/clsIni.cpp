#include "persistence/clsIni.h"

#include <sys/stat.h>

#include <cerrno>

#include "os/AtomicFile.h"
#include "os/FileSaveError.h"

namespace notecast {

void clsIni::setFileName(const std::string& fileName) {
  fileName_ = fileName;
  document_.reset();
  reset_ = dirty_ = false;
}

std::string clsIni::GetIni(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const {
  return document().getString(section, key, defaultValue);
}

void clsIni::SaveIni(const std::string& section, const std::string& key, const std::string& value) {
  if (document().setString(section, key, value)) dirty_ = true;
}

std::string clsIni::getWholeText(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  return document().getWholeText(section, key, defaultValue);
}

void clsIni::saveWholeText(const std::string& section, const std::string& key,
                           const std::string& value) {
  if (document().setWholeText(section, key, value)) dirty_ = true;
}

void clsIni::Reset() {
  // Refused now rather than at commit(): the caller learns at once that the file stays.
  if (!fileName_.empty()) AtomicFile::checkReplaceable(fileName_);
  if (!document_) document_.emplace();
  document_->clear();
  reset_ = true;
  dirty_ = false;
}

void clsIni::commit() {
  if (!reset_ && !dirty_) return;
  if (fileName_.empty()) throw FileSaveError(fileName_, ENOENT, "no file name");
  if (reset_ && document_->empty()) {
    AtomicFile::remove(fileName_);
  } else {
    document_->save(fileName_);
  }
  reset_ = dirty_ = false;
}

bool clsIni::FileExists(const std::string& path) {
  struct stat status {};
  return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

ProfileDocument& clsIni::document() const {
  if (!document_) {
    document_ = fileName_.empty() ? ProfileDocument() : ProfileDocument::load(fileName_);
  }
  return *document_;
}

}  // namespace notecast
