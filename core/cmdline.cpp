#include "core/cmdline.h"

QString TrimBlanks(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= ' ') ++b;
  while (e > b && s[e - 1].unicode() <= ' ') --e;
  return s.mid(b, e - b);
}

QString TakeToken(QString& text) {
  QString token = QStringLiteral("?");
  text = TrimBlanks(text);
  if (text.startsWith('"')) {
    // Inside quotes a doubled quote stands for one quote of the name, so
    // that every name a file system allows survives the hand-over.
    QString name;
    qsizetype i = 1;
    for (; i < text.size(); ++i) {
      if (text[i] != '"') {
        name += text[i];
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        name += '"';
        ++i;
      } else {
        break;
      }
    }
    if (i < text.size()) {
      token = name;
      text.remove(0, i + 1);
    } else {
      text.remove(0, 1);
    }
  } else {
    const qsizetype blank = text.indexOf(' ');
    if (blank < 0) {
      token = text;
      text.clear();
    } else {
      token = text.left(blank);
      text.remove(0, blank + 1);
    }
  }
  text = TrimBlanks(text);
  return token;
}

QStringList CommandLineArguments(QString text) {
  QStringList list;
  TakeToken(text);  // the sender's program path
  while (!text.isEmpty()) list << TakeToken(text);
  return list;
}

QString BuildCommandLine(const QString& program, const QStringList& arguments) {
  auto quoted = [](const QString& a) {
    if (!a.isEmpty() && !a.contains(' ') && !a.contains('"')) return a;
    return '"' + QString(a).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + '"';
  };
  QString line = quoted(program);
  for (const QString& a : arguments) line += ' ' + quoted(a);
  return line;
}

QString FolderPart(const QString& path) {
  const qsizetype slash = path.lastIndexOf('/');
  return slash < 0 ? QString() : path.left(slash + 1);
}
