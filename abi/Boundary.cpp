#include "abi/Boundary.h"

#include <stdexcept>

namespace notecast {

HRESULT resultFromCurrentException() noexcept {
  try {
    throw;
  } catch (const RuntimeError& error) {
    return error.result();
  } catch (const FailedResult& failure) {
    return failure.result();
  } catch (const NotImplemented&) {
    return E_NOTIMPL;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::invalid_argument&) {
    return E_INVALIDARG;
  } catch (const std::exception&) {
    return E_FAIL;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace notecast
