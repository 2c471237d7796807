// Finding a file that ships with the tool from the executable's folder, the same way on every
// platform; only the folders an installation uses differ.
#include "app_folder.h"

#include "files.h"

namespace vex {

std::string LocateShippedFile(const std::string& appFolder, std::string_view name,
                              const std::vector<std::string>& dataFolders) {
  const std::string beside = appFolder + std::string(name);
  // Without the executable's folder there is no installation to look into.
  if (appFolder.empty() || EntryExists(beside))
    return beside;
  for (const std::string& folder : dataFolders) {
    std::string installed = appFolder + folder + std::string(name);
    if (EntryExists(installed))
      return installed;
  }
  return beside;
}

} // namespace vex
