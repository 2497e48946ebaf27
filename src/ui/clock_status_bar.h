#pragma once

#include <QStatusBar>
#include <QString>

namespace tvx {

// The main window's status bar: two parts whose right edges are at 500 and 700 pixels, the date in
// part 0 and the time in part 1, drawn raised. Parts beyond the window's width are cut off.
class ClockStatusBar : public QStatusBar {
    Q_OBJECT
  public:
    static constexpr int kPartRightEdges[2] = {500, 700};

    explicit ClockStatusBar(QWidget* parent = nullptr);

    void set_part_text(int part, const QString& text);
    QString part_text(int part) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString texts_[2];
};

}  // namespace tvx
