#pragma once

#include <QStatusBar>
#include <QString>

namespace tvx {

// The main window's status bar. Its clock row has two parts whose right edges are at 500 and 700
// pixels, the date in part 0 and the time in part 1, drawn raised; parts beyond the window's width are
// cut off. Above the clock, a row tells the operator what the date and time cannot: the link, the last
// result, and the document with its modified mark. A text too long for its cell ends in "…"; the cell's
// tooltip holds all of it.
class ClockStatusBar : public QStatusBar {
    Q_OBJECT
  public:
    static constexpr int kPartRightEdges[2] = {500, 700};
    enum class Info { kLink, kResult, kDocument };
    // The right edges of the link and result cells; the document's cell takes the rest of the width.
    static constexpr int kInfoRightEdges[2] = {290, 530};

    explicit ClockStatusBar(QWidget* parent = nullptr);

    void set_part_text(int part, const QString& text);
    QString part_text(int part) const;
    void set_info_text(Info info, const QString& text);
    QString info_text(Info info) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int row_height() const;
    QRect info_cell(int index) const;

    QString texts_[2];
    QString info_[3];
};

}  // namespace tvx
