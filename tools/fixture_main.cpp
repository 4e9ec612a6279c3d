// quillon-fixture: writes the project's BKF fixtures.
//   quillon-fixture demo OUT.bkf           the demo backup
//   quillon-fixture preview-demo OUT.bkf   files for each view of the preview
//   quillon-fixture pictures DIR           small pictures of every format we write
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "demo_backup.h"
#include "preview_demo.h"
#include "picture_writer.h"

namespace {

void WritePictures(const std::filesystem::path& dir) {
  using namespace fixture;
  std::filesystem::create_directories(dir);
  auto put = [&](const std::string& name, const Bytes& bytes) {
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      std::streamsize(bytes.size()));
  };
  const Picture colour = QuadrantPicture(13, 9), stripes = StripePicture(21, 7);
  put("mono.pcx", PcxFile(stripes, 1));
  for (int bits : {4, 8, 24}) put("colour" + std::to_string(bits) + ".pcx", PcxFile(colour, bits));
  put("mono.ras", SunRasterFile(stripes, 1, false));
  put("mono-rle.ras", SunRasterFile(stripes, 1, true));
  for (int depth : {8, 24, 32}) {
    put("colour" + std::to_string(depth) + ".ras", SunRasterFile(colour, depth, false));
    put("colour" + std::to_string(depth) + "-rle.ras", SunRasterFile(colour, depth, true));
  }
  put("grey8.pgx", PgxFile(colour, 8, false, true));
  put("grey12.pgx", PgxFile(colour, 12, true, false));
  put("grey16.pgx", PgxFile(colour, 16, false, true));
  put("colour.ska", SkaFile(colour));
  put("colour.tga", TgaFile(colour, false, false));
  put("colour-rle.tga", TgaFile(colour, true, true));
  put("stripes.jbg", JbigFile(stripes));
  put("colour.jp2", Jpeg2000File(colour, true));
  put("colour.j2k", Jpeg2000File(colour, false));
  put("shapes.wmf", WmfFile(40, 30));
  put("colour.dng", DngFile(QuadrantPicture(64, 48)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "demo") == 0) {
    try {
      fixture::DemoBackup().WriteTo(argv[2]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "quillon-fixture: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "preview-demo") == 0) {
    try {
      fixture::PreviewDemoBackup().WriteTo(argv[2]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "quillon-fixture: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "pictures") == 0) {
    try {
      WritePictures(argv[2]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "quillon-fixture: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  std::fprintf(stderr, "usage: quillon-fixture demo|preview-demo OUT.bkf | pictures DIR\n");
  return 2;
}
