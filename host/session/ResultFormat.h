#pragma once
// How script results are written. Every text the host prints about a value goes through here, so
// the same value always reads the same way.
//
//   Boolean      True / False            number     decimal
//   string       "C escaped"             empty      (empty)
//   no result    (none)                  failure    error 0x80004001
//   bad line     bad "reason"            object     (object ILumoTool,IExternalWindow)
//   integers     9,15,3

#include <cstdint>
#include <string>
#include <string_view>

#include "abi/HResult.h"
#include "abi/IBoxRequests.h"
#include "abi/IIntegerCollection.h"
#include "abi/Unknown.h"
#include "abi/Variant.h"

namespace notecast::host {

inline constexpr std::string_view kNoResult = "(none)";
inline constexpr std::string_view kEmptyResult = "(empty)";

// In double quotes; '"' and '\' escaped, \r \n \t, and \xHH for other bytes below 0x20 and 0x7F.
// Other bytes pass unchanged (UTF-8 stays readable).
std::string quoteText(std::string_view text);

std::string formatBoolean(VARIANT_BOOL value);
std::string formatNumber(std::int32_t value);
std::string formatError(HRESULT result);
std::string formatBad(std::string_view reason);
// For messages to people: "error 0x80040111 (class not available)".
std::string explainFailure(HRESULT result);

// A message box as reported: box "TITLE" "TEXT" [Yes*,No,Cancel] question -> Yes, `buttons` being
// the captions in the box's order, the default one starred.
std::string formatBox(std::string_view title, std::string_view text, std::string_view buttons,
                      BoxIcon icon, std::string_view pressed);
// A standard button's caption: "OK", "Yes", "No", "Cancel".
const char* boxButtonCaption(BoxAnswer button);

// The plug-in's interfaces the object answers to QueryInterface, in a fixed order; (empty) for
// null.
std::string formatObject(IUnknown* object);
// The items separated by commas. Throws FailedResult when the collection cannot be read.
std::string formatCollection(IIntegerCollection* collection);
// By the kind it holds. Throws FailedResult when a collection inside cannot be read.
std::string formatVariant(const Variant& value);

}  // namespace notecast::host
