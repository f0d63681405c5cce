#include "core/Splash.h"

#include "core/Version.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace velu {

namespace {
// Clicks on the frame close the form like clicks on the form itself.
class KlickFrame : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void mousePressEvent(QMouseEvent*) override { window()->close(); }
};
} // namespace

QPixmap VeluntaLogo(int groesse) {
    QPixmap p(groesse, groesse);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(QColor(0x1f, 0x4e, 0x79));
    g.setPen(Qt::NoPen);
    g.drawRoundedRect(QRectF(0, 0, groesse, groesse), groesse / 8.0, groesse / 8.0);
    g.setPen(QPen(Qt::white, groesse / 12.0));
    const double m = groesse * 0.22;
    g.drawLine(QPointF(m, m), QPointF(groesse / 2.0, groesse - m));
    g.drawLine(QPointF(groesse / 2.0, groesse - m), QPointF(groesse - m, m));
    return p;
}

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
    setObjectName("frmSplash");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new KlickFrame(this);
    frame->setObjectName("fraMainFrame");
    frame->setFrameShape(QFrame::Box);
    outer->addWidget(frame);
    auto* grid = new QGridLayout(frame);
    logo_ = new QLabel(frame);
    logo_->setObjectName("picLogo");
    grid->addWidget(logo_, 0, 0, 4, 1, Qt::AlignTop);
    produkt_ = new QLabel(frame);
    produkt_->setObjectName("lblProductName");
    QFont f = produkt_->font();
    f.setPointSize(f.pointSize() * 2);
    f.setBold(true);
    produkt_->setFont(f);
    auto* suffix = new QLabel("Honorarberechnung nach HOAI", frame);
    suffix->setObjectName("Label1");
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(produkt_);
    zeile->addSpacing(4);
    zeile->addWidget(suffix, 0, Qt::AlignBottom);
    zeile->addStretch();
    grid->addLayout(zeile, 0, 1);
    version_ = new QLabel(frame);
    version_->setObjectName("lblVersion");
    grid->addWidget(version_, 1, 1);
    auto* firma = new QLabel("Zarnik", frame);
    firma->setObjectName("lblCompanyProduct");
    grid->addWidget(firma, 2, 1);
    auto* block =
        new QLabel("Zarnik Software\rfür Architektur- und Ingenieurbüros\rHonorar, Rechnung, Aufwand\r"
                   "DM und Euro",
                   frame);
    block->setObjectName("lblCompany");
    block->setText(block->text().replace('\r', '\n'));
    grid->addWidget(block, 3, 1);
    auto* hinweis = new QLabel("Dieses Programm ist urheberrechtlich geschützt.", frame);
    hinweis->setObjectName("lblWarning");
    grid->addWidget(hinweis, 4, 0, 1, 2);
    timer_.setObjectName("Timer1");
    timer_.setSingleShot(true);
    timer_.setInterval(5000);
    connect(&timer_, &QTimer::timeout, this, &QWidget::close);
}

void frmSplash::SetPictureIn(const QPixmap& p) {
    logo_->setPixmap(p);
}

void frmSplash::Action(int) {
    produkt_->setText(ProduktName);
    version_->setText("Version :" + Version);
    adjustSize();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (PosLeft < 1 || PosTop < 1) {
        if (screen) {
            const QRect s = screen->availableGeometry();
            move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
        }
    } else {
        move(PosLeft, PosTop);
    }
    // The original's 16-bit millisecond count allowed at most 32 seconds.
    if (ClockIntervall > 0) timer_.setInterval(std::min(ClockIntervall, 32) * 1000);
    timer_.start();
    show();
    raise();
}

void frmSplash::keyPressEvent(QKeyEvent*) {
    close();
}
void frmSplash::mousePressEvent(QMouseEvent*) {
    close();
}

frmSplash* ShowSplash() {
    auto* s = new frmSplash;
    s->setAttribute(Qt::WA_DeleteOnClose);
    s->SetPictureIn(VeluntaLogo());
    s->Version = QStringLiteral("%1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision);
    s->ProduktName = QString::fromUtf8(ProduktName);
    s->ClockIntervall = 5;
    s->Action(17);
    return s;
}

} // namespace velu
