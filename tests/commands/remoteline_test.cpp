#include <gtest/gtest.h>

#include <QList>

#include "commands/keymap.h"
#include "commands/remoteline.h"
#include "commands/winlirc.h"

namespace {

QList<QByteArray> FeedAll(TRemoteLineBuffer& buffer, std::initializer_list<QByteArray> reads) {
  QList<QByteArray> lines;
  for (const QByteArray& r : reads) lines.append(buffer.Feed(r));
  return lines;
}

// A client on the default key map whose posted commands and learnt names
// are recorded instead of sent.
struct TClientRig {
  TClientRig() {
    map.ApplyPreset(TKeyPreset::Default);
    client.PostCommand = [this](int id) { posted.append(id); };
  }
  TKeyMap map;
  TWinLIRCClient client{map};
  QList<int> posted;
};

}  // namespace

TEST(RemoteLineBuffer, KeepsEveryLineInOrderAcrossAnyCut) {
  TRemoteLineBuffer b;
  // Two presses in one read, then one line split over three reads.
  EXPECT_EQ(FeedAll(b, {"a 00 Play r\nb 00 Stop r\nc 00 V", "+ r", "\n"}),
            (QList<QByteArray>{"a 00 Play r", "b 00 Stop r", "c 00 V+ r"}));
  EXPECT_EQ(b.Pending(), 0);
  EXPECT_EQ(FeedAll(b, {"d 00 Mute"}), QList<QByteArray>{});
  EXPECT_EQ(b.Pending(), 9);
  EXPECT_EQ(FeedAll(b, {"\n\n"}), (QList<QByteArray>{"d 00 Mute", ""}));
}

TEST(RemoteLineBuffer, DropsAnOverlongLineUpToItsBreakAndStaysBounded) {
  TRemoteLineBuffer b;
  const QByteArray limit(TRemoteLineBuffer::MaxLine, 'x');
  EXPECT_EQ(b.Feed(limit + "\n"), QList<QByteArray>{limit});

  // One byte more, sent in pieces: nothing of it comes out, not even the
  // tail after the bound, and the memory held never passes the bound.
  EXPECT_TRUE(b.Feed(limit).isEmpty());
  EXPECT_TRUE(b.Feed("y").isEmpty());
  EXPECT_TRUE(b.Dropping());
  EXPECT_EQ(b.Pending(), 0);
  EXPECT_TRUE(b.Feed(QByteArray(100000, 'z')).isEmpty());
  EXPECT_EQ(b.Pending(), 0);
  EXPECT_EQ(b.Feed("tail\na 00 Play r\n"), QList<QByteArray>{"a 00 Play r"});
  EXPECT_FALSE(b.Dropping());
  // An overlong line that arrives whole is dropped the same way.
  EXPECT_EQ(b.Feed(limit + "yy\nb 00 Stop r\n"), QList<QByteArray>{"b 00 Stop r"});
}

TEST(RemoteLine, FieldsRepeatFlagAndShortLines) {
  TRemotePress p = ParseRemoteLine("000000000000f00f 00 Play myremote");
  EXPECT_EQ(p.Button, "Play");
  EXPECT_FALSE(p.Repeat);
  p = ParseRemoteLine("000000000000f00f 1a V+ myremote");
  EXPECT_EQ(p.Button, "V+");
  EXPECT_TRUE(p.Repeat);
  // Fewer fields keep what the missing spaces leave.
  EXPECT_EQ(ParseRemoteLine("f00f 00 Play").Button, "Play");
  EXPECT_EQ(ParseRemoteLine("Play").Button, "Play");
  EXPECT_TRUE(ParseRemoteLine("Play").Repeat);
  EXPECT_EQ(ParseRemoteLine("").Button, "");
  EXPECT_EQ(TrimControls(QString("\t\x01 a b \r\n")), "a b");
}

TEST(RemoteClient, RunsBoundCommandsOncePerPressButRepeatsVolume) {
  TClientRig rig;
  rig.client.Receive("000000000000f00f 00 Play myremote\r\n000000000000f00f 01 Play myremote\r\n");
  EXPECT_EQ(rig.posted, QList<int>{cmPlay});
  rig.client.Receive("0003 00 V+ r\n0003 01 V+ r\n0003 03 V+ r\n0004 02 V- r\n");
  EXPECT_EQ(rig.posted, (QList<int>{cmPlay, cmVolumeUp, cmVolumeUp, cmVolumeUp, cmVolumeDown}));
  EXPECT_EQ(rig.client.StatusText(), "0004 02 V- r");

  // Names are case-sensitive; a button bound twice runs both, lowest first.
  rig.posted.clear();
  rig.client.Receive("1 00 stop r\n");
  EXPECT_TRUE(rig.posted.isEmpty());
  rig.map.SetCell(cmFullScreen, TKeyColumn::Remote, "Stop");
  rig.client.Receive("1 00 Stop r\n");
  EXPECT_EQ(rig.posted, (QList<int>{cmStop, cmFullScreen}));

  // A blank line neither runs nor replaces the status text.
  rig.client.Receive(" \r\n");
  EXPECT_EQ(rig.client.StatusText(), "1 00 Stop r");
}

TEST(RemoteClient, LearningTakesTheNameInsteadOfRunning) {
  TClientRig rig;
  QStringList learnt;
  bool learning = true;
  rig.client.Learner = [&](const QString& button) {
    if (learning) learnt.append(button);
    return learning;
  };
  rig.client.Receive("1 00 Play r\n1 05 Mute r\n");
  EXPECT_EQ(learnt, (QStringList{"Play", "Mute"}));
  EXPECT_TRUE(rig.posted.isEmpty());
  learning = false;
  rig.client.Receive("1 00 Play r\n");
  EXPECT_EQ(rig.posted, QList<int>{cmPlay});
}

TEST(RemoteClient, ConnectIgnoresABadPortTextAndRefusesNames) {
  TKeyMap map;
  {
    TWinLIRCClient client(map);
    client.Connect(false, "127.0.0.1", "1");
    EXPECT_EQ(client.State(), TWinLIRCClient::TState::NotConnected);
    client.Connect(true, "127.0.0.1", "remote");
    EXPECT_EQ(client.Port(), 8765);
    EXPECT_EQ(client.State(), TWinLIRCClient::TState::Connecting);
  }
  for (const char* bad : {"localhost", "", "::1"}) {
    TWinLIRCClient client(map);
    client.Connect(true, bad, "8765");
    EXPECT_EQ(client.State(), TWinLIRCClient::TState::Failed) << bad;
    EXPECT_EQ(client.StatusText(), "Ошибка соединения # 10049") << bad;
  }
  TWinLIRCClient client(map);
  client.Connect(true, "127.0.0.1", "70000");
  EXPECT_EQ(client.StatusText(), "Ошибка соединения # 10049");
}
