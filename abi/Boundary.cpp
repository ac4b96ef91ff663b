#include "abi/Boundary.h"

#include <cstring>
#include <stdexcept>

namespace notecast {
namespace {

constexpr std::size_t kDescriptionBytes = 512;

// A fixed buffer, trivially destructible: a thread_local with a destructor would keep a module
// loaded with dlopen from unloading while the thread lives.
struct LastFailure {
  HRESULT result = S_OK;
  std::size_t length = 0;
  char description[kDescriptionBytes];
};

constinit thread_local LastFailure lastFailureOfThread{};

HRESULT noted(HRESULT result, const char* description = "") noexcept {
  LastFailure& last = lastFailureOfThread;
  last.result = result;
  std::size_t length = std::strlen(description);
  if (length > kDescriptionBytes) {
    length = kDescriptionBytes;
    // Cut before a character, not inside one (UTF-8 continuation bytes are 10xxxxxx).
    while (length > 0 && (static_cast<unsigned char>(description[length]) & 0xC0u) == 0x80u)
      --length;
  }
  std::memcpy(last.description, description, length);
  last.length = length;
  return result;
}

}  // namespace

HRESULT resultFromCurrentException() noexcept {
  try {
    throw;
  } catch (const RuntimeError& error) {
    return noted(error.result(), error.what());
  } catch (const FailedResult& failure) {
    return noted(failure.result());
  } catch (const NotImplemented& missing) {
    return noted(E_NOTIMPL, missing.what());
  } catch (const std::bad_alloc&) {
    return noted(E_OUTOFMEMORY);
  } catch (const std::invalid_argument&) {
    return noted(E_INVALIDARG);
  } catch (const std::exception& error) {
    return noted(E_FAIL, error.what());
  } catch (...) {
    return noted(E_UNEXPECTED);
  }
}

FailureRecord lastFailure() {
  const LastFailure& last = lastFailureOfThread;
  return {last.result, std::string(last.description, last.length)};
}

}  // namespace notecast
