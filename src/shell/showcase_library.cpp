#include "shell/showcase_library.h"

#include "common/win_handles.h"
#include "shell/app_log.h"
#include "shell/app_state.h"

namespace velmora::shell {
namespace {}  // namespace

ShowcaseLibrary& Showcase() {
  static ShowcaseLibrary library;
  return library;
}

int16_t BindShowcaseLibrary(const char* libraryName) {
  ShowcaseLibrary& lib = Showcase();
  lib.module = LoadLibraryA(libraryName);
  if (lib.module == nullptr) {
    lib.status = "Eroare deschidere \"showreel.dll\"";
    return -1;
  }
  lib.drawPicture = LibraryCall<DrawJpg2Fn>(lib.module, "_DrawJpg2@12");
  if (lib.drawPicture == nullptr) {
    lib.status = "Eroare interna (5)";
    return -5;
  }
  lib.downloadFile = LibraryCall<GetFisierDifFn>(lib.module, "_GetFisierDif@16");
  if (lib.downloadFile == nullptr) {
    lib.status = "Eroare interna (5)";
    return -6;
  }
  int16_t status = 0;
  lib.applyTransparency = LibraryCall<ApplyTranspFn>(lib.module, "_ApplyTransp@8");
  if (lib.applyTransparency == nullptr) {
    lib.status = "Eroare interna (5)";
    status = -6;
  }
  lib.drawPageArrows = LibraryCall<DrawNextPrevPagFn>(lib.module, "_DrawNextPrevPag@16");
  if (lib.drawPageArrows == nullptr) {
    lib.status = "Eroare interna (6)";
    status = -5;
  }
  return status;
}

void FreeShowcaseLibrary() {
  ShowcaseLibrary& lib = Showcase();
  if (lib.module != nullptr) FreeLibrary(lib.module);
  lib = ShowcaseLibrary{};
}

update::UpdateSetup UpdateSetupFor(HWND mainDialog) {
  const AppState& app = App();
  update::UpdateSetup setup;
  setup.hostlane = app.hostlane.get();
  setup.suiteRoot = app.paths.suiteRoot;
  setup.programDirectory = app.paths.programDirectory;
  setup.mainDialog = mainDialog;
  setup.download = Showcase().downloadFile;
  setup.log = [](std::string_view text) { WriteAppLog(text); };
  return setup;
}

}  // namespace velmora::shell
