#include "app/ProgramStart.h"

#include <ostream>
#include <string>

#include "base/ProgramFolder.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"

namespace zyl::app {

void PrepareProgramFolder(std::string_view argv0, std::ostream& err) {
  const std::string folder =
      base::ResolveProgramFolder(argv0.find('/') != std::string_view::npos ? argv0 : "");
  base::SetProgramFolder(folder);
  base::RegisterSeedStep(catalog::EnsureTemplateDatabase);
  std::string why;
  if (!base::SeedProgramFolder(folder, &why, base::InstalledDefaultsFolder()) || !why.empty()) {
    // The settings then take their defaults; a mode that needs the folder reports it again.
    err << "zyl: " << why << "\n";
  }
  settings::LoadConfig();
}

}  // namespace zyl::app
