// The image tests' fixture: a fresh folder that palette templates are written into and read
// back from as bitmaps.
#pragma once

#include "bitmap.h"
#include "bmp_builder.h"
#include "temp_folder.h"

#include <string>

namespace vextest {

class TemplateFolderTest : public TempFolderTest {
protected:
  std::string Path(const std::string& name) const { return FolderString() + name; }
  // Writes template `t` into the folder as `name` and returns its path.
  std::string WriteTemplate(const TemplateLayout& t, const std::string& name = "template.bmp") {
    WriteWholeFile(Path(name), TemplateFile(t));
    return Path(name);
  }
  // The bitmap read from template `t`, as the file stores it.
  vex::TBitmap Read(const TemplateLayout& t) {
    vex::TBitmap bitmap;
    bitmap.ReadBitmapFile(WriteTemplate(t));
    return bitmap;
  }
};

} // namespace vextest
