#pragma once
// The splash screen shown at the end of start-up: logo, product name and version, on top of all windows;
// it closes itself after ClockIntervall seconds or at the first key press or click.
#include <QPixmap>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace velu {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    int ClockIntervall = 0; // seconds; 0 or less keeps the timer's preset interval
    void SetPictureIn(const QPixmap& p);
    int PosLeft = 0, PosTop = 0; // pixels; below 1 in either: centred on the screen
    QString Version;
    QString ProduktName;

    // Fills the labels, positions and shows the form (the code is not evaluated).
    void Action(int code);

    QTimer& Timer1() { return timer_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QLabel* logo_;
    QLabel* produkt_;
    QLabel* version_;
    QTimer timer_;
};

// The product logo, drawn (the program ships no bitmaps).
QPixmap VeluntaLogo(int groesse = 96);

// Shows the splash (deletes itself when closed); returns it.
frmSplash* ShowSplash();

} // namespace velu
