#pragma once

// Stops a service without waiting for it, then deletes it (the system removes
// it once it has stopped). False when the manager or the service cannot be
// opened or the deletion fails.
bool StopAndDeleteService(const wchar_t* name);
