// Build step of the package: writes the desktop entry, the icons and the MIME
// package a system installation ships, from the same code the per-user
// installer uses.
//   tunevale-desktop-files OUTDIR EXECUTABLE
#include <cstdio>

#include "install/desktop_entry.h"
#include "install/file_type_association.h"
#include "install/owned_files.h"
#include "platform/qt_mime_type_database.h"
#include "ui/app_icon.h"
#include "util/text.h"

int main(int argc, char** argv) {
  using namespace tunevale;
  if (argc != 3) {
    std::fputs("usage: tunevale-desktop-files OUTDIR EXECUTABLE\n", stderr);
    return 2;
  }
  const std::string out = argv[1];
  const TFileExtensions extensions;
  const TQtMimeTypeDatabase mime;
  const std::vector<TFileTypeAssociation> associations =
      ResolveFileTypes(KnownExtensions(extensions), extensions, mime);
  TFailures failures;
  WriteOwnedFile(out + "/applications/tunevale.desktop",
                 BuildDesktopEntry(argv[2], DeclaredMimeTypes(associations), false), 0644, failures);
  if (const std::string package = BuildMimePackage(associations); !package.empty())
    WriteOwnedFile(out + "/mime/packages/tunevale.xml", package, 0644, failures);
  for (const TIconFile& icon : AppIconFiles())
    WriteOwnedFile(out + "/icons/hicolor/" + icon.RelativePath, icon.Bytes, 0644, failures);
  if (failures.empty()) return 0;
  std::fprintf(stderr, "tunevale-desktop-files: %s\n", Join(failures, "\n").c_str());
  return 1;
}
