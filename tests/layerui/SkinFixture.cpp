#include "layerui/SkinFixture.h"

#include <functional>
#include <string>

#include "base/TextUtil.h"
#include "layerui/DefaultFont.h"
#include "layerui/LayerResManager.h"

namespace lumo::test {

UniqueModule SkinFixture::skinModule_;
ResInitializer* SkinFixture::resources_ = nullptr;

namespace {
std::wstring UninstallExePath() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  return folder + L"Uninstall.exe";
}
}  // namespace

void SkinFixture::SetUpTestSuite() {
  skinModule_.reset(::LoadLibraryExW(UninstallExePath().c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  CLayerResManager* registry = CLayerResManager::Instance();
  registry->ReleaseAll();  // entries of earlier tests would shadow the skin
  registry->SetResourceModule(skinModule_.get());
  CDefaultFont::Instance()->ChooseFace();
  static ResInitializer resources;
  resources_ = &resources;
  resources_->Init();
}

void SkinFixture::TearDownTestSuite() {
  if (resources_) resources_->Release();
  CLayerResManager::Instance()->SetResourceModule(nullptr);
  skinModule_.reset();
}

void SkinFixture::SetUp() {
  ASSERT_TRUE(skinModule_) << "Uninstall.exe must be built next to the tests";
}

bool PumpUntil(const std::function<bool()>& done) {
  // Bounded by rounds of an empty queue, not by time.
  for (int idleRounds = 0; idleRounds < 50;) {
    if (done()) return true;
    MSG msg;
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    } else {
      ++idleRounds;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }
  return done();
}

}  // namespace lumo::test
