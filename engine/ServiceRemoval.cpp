#include "engine/ServiceRemoval.h"

#include <windows.h>

#include "base/Handles.h"

namespace {

lumo::UniqueServiceHandle OpenServiceWithAllAccess(const lumo::UniqueServiceHandle& manager, const wchar_t* name) {
  return lumo::UniqueServiceHandle(manager ? ::OpenServiceW(manager.get(), name, SERVICE_ALL_ACCESS) : nullptr);
}

}  // namespace

bool StopAndDeleteService(const wchar_t* name) {
  {
    lumo::UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    lumo::UniqueServiceHandle service = OpenServiceWithAllAccess(manager, name);
    SERVICE_STATUS status{};
    if (service) ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
  }
  lumo::UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  lumo::UniqueServiceHandle service = OpenServiceWithAllAccess(manager, name);
  return service && ::DeleteService(service.get());
}
