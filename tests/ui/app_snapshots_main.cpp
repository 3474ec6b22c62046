// app_snapshots OUTDIR: the application shell's windows as PNG files.
#include <QApplication>
#include <cstdio>

#include "app_snapshots.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: app_snapshots OUTDIR\n");
    return 2;
  }
  const int n = apptest::RenderAppSnapshots(QString::fromLocal8Bit(argv[1]));
  if (n < 0) return 1;
  std::printf("%d snapshots in %s\n", n, argv[1]);
  return 0;
}
