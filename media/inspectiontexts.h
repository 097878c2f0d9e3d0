#pragma once
#include <QString>

// The words of the file information and duration texts. They are read at the
// moment a text is composed, so a language switch changes later texts only.
struct TInspectionTexts {
  QString sLocation = QStringLiteral("Расположение");
  QString sStream = QStringLiteral("Поток");
  QString sTypeVideo = QStringLiteral("Тип: Видео");
  QString sTypeAudio = QStringLiteral("Тип: Звук");
  QString sTypeText = QStringLiteral("Тип: Текст");
  QString sDuration = QStringLiteral("Продолжительность");
  QString sSize = QStringLiteral("Размер");
  QString sColorDepth = QStringLiteral("Глубина цвета");
  QString sFrameRate = QStringLiteral("Частота кадров");
  QString sFormat = QStringLiteral("Формат");
  QString sMono = QStringLiteral("Моно");
  QString sStereo = QStringLiteral("Стерео");
  QString sChannels = QStringLiteral("канала(-ов)");
  QString sKBitSec = QStringLiteral("КБит/сек");
  QString sBits = QStringLiteral("Бит");
  QString sHz = QStringLiteral("Гц");
  QString sFileSize = QStringLiteral("Размер файла");
  QString sHours = QStringLiteral("ч");
  QString sMinutes = QStringLiteral("мин");
  QString sSeconds = QStringLiteral("сек");

  static TInspectionTexts Russian() { return {}; }
  static TInspectionTexts English();
};

// The texts in use: Russian until the language switch applies English.
TInspectionTexts& InspectionTexts();
// 0 Russian, 1 English; called by the language switch.
void ApplyInspectionLanguage(int code);
