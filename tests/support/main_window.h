#pragma once
// The started main window every window test begins from, and the checks
// those tests share. Header-only: only the tests that link the program's
// core include it.
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "core/MainUnit.h"
#include "core/dispatch.h"
#include "core/input.h"
#include "core/panels.h"
#include "core/playback.h"
#include "core/windowgeom.h"
#include "playlist/playlist.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/tempenv.h"
#include "tests/support/testclips.h"
#include "tests/support/wait.h"

// The one way in to what the window keeps to itself: its controls.
class TfrMainTestAccess {
 public:
  static TMainPanels& Panels(TfrMain& window) { return *window.panels_; }
};

// A started main window, 640 x 480 and hidden, in a private home with the
// machine's services and the message boxes faked. Files open paused and
// without resizing the window; Alt is never held unless a test says so.
class TMainWindowTest : public TTestClipsTest {
 protected:
  void SetUp() override {
    TTestClipsTest::SetUp();
    main_ = std::make_unique<TfrMain>();
    main_->Playback().SetAltKeyQuery([this] { return altDown_; });
    ASSERT_TRUE(main_->StartUp({}));
    main_->Settings().OnOpenPlay = false;
    main_->Settings().OnOpenResize = false;
    main_->Settings().SoundFreq = 0;
    main_->resize(640, 480);
    executed_ = std::make_unique<QSignalSpy>(&main_->Commands(), &TCommandDispatch::CommandExecuted);
  }
  void TearDown() override {
    executed_.reset();
    main_.reset();
  }

  TPlayback& Playback() const { return main_->Playback(); }
  TWindowGeometry& Geometry() const { return main_->Geometry(); }
  TMainPanels& Panels() const { return TfrMainTestAccess::Panels(*main_); }
  TSettings& Settings() const { return main_->Settings(); }
  void Execute(int command) const { main_->Commands().ExecuteCommand(command); }

  // Every command executed since the window started, in order.
  std::vector<int> Executed() const {
    std::vector<int> ids;
    for (const QList<QVariant>& args : *executed_) ids.push_back(args.at(0).toInt());
    return ids;
  }
  void ForgetExecuted() { executed_->clear(); }

  // Opens through the playlist as the user does, without the play that
  // the playlist's own open adds.
  void Open(const QString& path) {
    main_->PlayList()->AddFiles({path}, true);
    main_->PlayList()->SetCurrentItem(0);
    Playback().OpenFile(path);
    DrainPostedEvents();
  }

  // The engine's picture inside the movie panel, once a file with video is open.
  QWidget* PictureWidget() const {
    for (QWidget* w : Panels().pnMovie->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w != Panels().imLogo && w->isVisible()) return w;
    return nullptr;
  }

  TPrivateHome home_;
  TFakeDesktop desktop_;
  std::unique_ptr<TfrMain> main_;
  bool altDown_ = false;

 private:
  std::unique_ptr<QSignalSpy> executed_;
};
