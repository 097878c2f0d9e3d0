#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The layers of the program and what each may include. The build hands every
// library the whole source root as its include path, so this is what keeps a
// lower folder from reaching up, and the machine's own interfaces inside the
// platform layers.

namespace {

// Lowest first. A folder may include its own headers and those of lower
// layers; of its own layer only where the layer is shared.
struct TLayer {
  QStringList folders;
  bool shared;
};

const std::vector<TLayer>& Layers() {
  static const std::vector<TLayer> layers = {
      {{"base"}, false},
      // The two platform layers stand side by side, each on base alone.
      {{"platform/system", "platform/media"}, false},
      {{"commands", "controls", "lang", "media", "playlist"}, true},
      // The preferences dialog edits the window's live settings through the
      // settings host, and the window opens the dialog: they stand together.
      {{"prefs", "core"}, true},
  };
  return layers;
}

// Headers only the platform layers may include: GStreamer with its GLib,
// X11 and XCB, ALSA, libjpeg and the system's own calls.
const char* const kPlatformOnly[] = {"gst/",  "glib.h",    "glib/",    "glib-object.h", "gobject/",
                                     "X11/",  "xcb/",      "alsa/",     "jpeglib.h", "jerror.h",     "turbojpeg.h",
                                     "sys/",  "unistd.h",  "fcntl.h",  "dlfcn.h"};

int LayerOf(const QString& folder) {
  for (size_t i = 0; i < Layers().size(); ++i)
    if (Layers()[i].folders.contains(folder)) return static_cast<int>(i);
  return -1;
}

// The layered folder a path inside the tree starts with, if any.
QString FolderOf(const QString& path) {
  QString best;
  for (const TLayer& layer : Layers())
    for (const QString& folder : layer.folders)
      if (path.startsWith(folder + '/') && folder.size() > best.size()) best = folder;
  return best;
}

// One line per include that breaks the layers, "file:line: why", for the
// folders given (as KELVARA_FOLDERS lists them) below `root`.
QStringList LayerViolations(const QString& root, const QStringList& folders) {
  static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*[<"]([^">]+)[">])"));
  QStringList found;
  for (const QString& folder : folders) {
    const int layer = LayerOf(folder);
    if (layer < 0) {
      found << QStringLiteral("%1: folder is in no layer").arg(folder);
      continue;
    }
    QDirIterator it(root + '/' + folder, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext()) files << it.next();
    files.sort();
    for (const QString& path : files) {
      const QString file = path.mid(root.size() + 1);
      if (FolderOf(file) != folder) continue;  // a listed folder inside this one
      QFile f(path);
      if (!f.open(QIODevice::ReadOnly)) {
        found << file + ": cannot be read";
        continue;
      }
      int lineNo = 0;
      while (!f.atEnd()) {
        ++lineNo;
        const auto m = include.match(QString::fromUtf8(f.readLine()));
        if (!m.hasMatch()) continue;
        const QString target = m.captured(1);
        const QString at = QStringLiteral("%1:%2: %3").arg(file).arg(lineNo).arg(target);
        for (const char* prefix : kPlatformOnly)
          if (target.startsWith(QLatin1String(prefix)) && !folder.startsWith(QLatin1String("platform/")))
            found << at + " belongs to the platform layers";
        if (target.startsWith(QLatin1String("tests/")) || target.startsWith(QLatin1String("bench/")) ||
            target.startsWith(QLatin1String("fuzz/"))) {
          found << at + " is not part of the program";
          continue;
        }
        const QString to = FolderOf(target);
        if (to.isEmpty() || to == folder) continue;
        const int toLayer = LayerOf(to);
        if (toLayer > layer)
          found << at + " is in a higher layer";
        else if (toLayer == layer && !Layers()[layer].shared)
          found << at + " is beside this one, not below it";
      }
    }
  }
  return found;
}

TEST(Layers, ProgramIncludesOnlyDownwardAndKeepsTheMachineInThePlatform) {
  const QStringList folders = QString(KELVARA_FOLDERS).split(' ', Qt::SkipEmptyParts);
  ASSERT_TRUE(folders.contains("core"));
  const QStringList found = LayerViolations(KELVARA_SOURCE_DIR, folders);
  EXPECT_TRUE(found.isEmpty()) << found.join('\n').toStdString();
}

// A tree with every kind of leak planted, beside the includes that are allowed.
TEST(Layers, PlantedLeaksAreFoundAndNothingElse) {
  const QString root = QStringLiteral(KELVARA_SOURCE_DIR "/tests/layers/planted");
  const QStringList found =
      LayerViolations(root, {"base", "platform/system", "platform/media", "playlist", "media", "core", "extras"});
  const QStringList expected = {
      "base/codes.h:2: platform/system/msgbox.h is in a higher layer",
      "platform/system/leak.cpp:2: core/identity.h is in a higher layer",
      "platform/system/leak.cpp:3: platform/media/hresult.h is beside this one, not below it",
      "playlist/scan.cpp:4: sys/stat.h belongs to the platform layers",
      "playlist/scan.cpp:5: gst/gst.h belongs to the platform layers",
      "playlist/scan.cpp:7: core/MainUnit.h is in a higher layer",
      "playlist/scan.cpp:8: tests/support/tempenv.h is not part of the program",
      "core/window.cpp:6: X11/Xlib.h belongs to the platform layers",
      "extras: folder is in no layer",
  };
  EXPECT_EQ(found, expected);
}

}  // namespace
