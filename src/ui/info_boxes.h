#pragma once

#include <QDialog>
#include <QStringList>

namespace tvx {

inline constexpr char kToolVersion[] = "1.0.0";

// A small fixed box of text lines with an OK button; closing it changes nothing.
class InfoBox : public QDialog {
    Q_OBJECT
  public:
    InfoBox(QWidget* owner, const QString& title, const QStringList& lines, bool with_icon);

    QStringList lines() const { return lines_; }

  private:
    QStringList lines_;
};

// "TVX230のﾊﾞｰｼﾞｮﾝ情報": the tool's name and version.
void show_about_box(QWidget* owner);

// "外字について": where the glyph files live and how the glyph lists are used.
void show_glyph_info_box(QWidget* owner);

}  // namespace tvx
