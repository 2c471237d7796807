// Finding a file that ships with the tool from the executable's folder, the same way on every
// platform; only the folders an installation uses differ.
#include "app_folder.h"

#include "files.h"

namespace vex {

std::string LocateShippedFile(const std::string& appFolder, std::string_view name,
                              const std::vector<std::string>& dataFolders) {
  // Without the executable's folder there is nothing to look at: the name alone would be read
  // from whatever folder the user is in, and the data folders stand for that one's absence.
  if (appFolder.empty())
    return {};
  const std::string beside = appFolder + std::string(name);
  if (EntryExists(beside))
    return beside;
  for (const std::string& folder : dataFolders) {
    std::string elsewhere = folder + std::string(name);
    if (EntryExists(elsewhere))
      return elsewhere;
  }
  return beside;
}

} // namespace vex
