#pragma once

// How the engine tells the user interface how far it has got. The first three
// arrive on the UI thread (the engine waits for each); OnRealInstallEnd comes
// last, on the engine's worker thread, under the engine's lock.
class IUninstallCallback {
 public:
  virtual void OnUninstallStart() = 0;
  virtual void OnProgress(int percent) = 0;  // 1 to 99
  virtual void OnUninstallEnd() = 0;
  virtual void OnRealInstallEnd() = 0;

 protected:
  ~IUninstallCallback() = default;
};
