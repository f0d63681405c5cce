#include "platform/report/VorschauFenster.h"

#include "platform/forms/MessageBox.h"
#include "platform/forms/PdfAblage.h"
#include "platform/report/Ausgabe.h"
#include "platform/report/ReportFehler.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::report {

class Seitenansicht : public QWidget {
public:
    Seitenansicht(const DisplayList& dl, QWidget* parent) : QWidget(parent), dl_(dl) { Groesse(); }
    void SetZoom(double z) {
        zoom_ = z;
        Groesse();
        update();
    }
    double Zoom() const { return zoom_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        const double mm = PxProMm();
        double y = Abstand;
        for (int i = 0; i < int(dl_.seiten.size()); ++i) {
            const QRectF blatt(Abstand, y, dl_.seite.width() * mm, dl_.seite.height() * mm);
            p.fillRect(blatt, Qt::white);
            p.save();
            p.translate(blatt.topLeft());
            p.setRenderHint(QPainter::Antialiasing);
            MaleSeite(p, dl_, i, mm);
            p.restore();
            y += blatt.height() + Abstand;
        }
    }

private:
    static constexpr double Abstand = 12;
    double PxProMm() const { return zoom_ * logicalDpiX() / 25.4; }
    void Groesse() {
        const double mm = PxProMm();
        const double n = double(dl_.seiten.size());
        setFixedSize(int(dl_.seite.width() * mm + 2 * Abstand),
                     int(n * (dl_.seite.height() * mm + Abstand) + Abstand));
    }
    const DisplayList& dl_;
    double zoom_ = 1.0;
};

VorschauFenster::VorschauFenster(DisplayList dl, const QString& titel, QWidget* owner)
    : QWidget(owner, Qt::Window), dl_(std::move(dl)), titel_(titel) {
    setObjectName(QStringLiteral("Vorschau"));
    setWindowTitle(titel);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* leiste = new QToolBar(this);
    QAction* drucken = leiste->addAction(QStringLiteral("Drucken"), this, [this] { Drucken(); });
    drucken->setObjectName(QStringLiteral("Drucken"));
    QAction* pdf = leiste->addAction(QStringLiteral("Als PDF speichern"), this, [this] { AlsPdf(); });
    pdf->setObjectName(QStringLiteral("AlsPdf"));
    leiste->addSeparator();
    zoom_ = new QComboBox(leiste);
    zoom_->setObjectName(QStringLiteral("Zoom"));
    for (int z : {50, 75, 100, 125, 150, 200})
        zoom_->addItem(QStringLiteral("%1 %").arg(z), z / 100.0);
    zoom_->setCurrentIndex(2);
    leiste->addWidget(zoom_);
    leiste->addSeparator();
    auto* seiten = new QLabel(QStringLiteral("%1 Seite(n)").arg(dl_.seiten.size()), leiste);
    seiten->setObjectName(QStringLiteral("Seitenzahl"));
    leiste->addWidget(seiten);
    QAction* schliessen = leiste->addAction(QStringLiteral("Schließen"), this, &QWidget::close);
    schliessen->setObjectName(QStringLiteral("Schliessen"));

    bereich_ = new QScrollArea(this);
    ansicht_ = new Seitenansicht(dl_, bereich_);
    bereich_->setWidget(ansicht_);
    bereich_->setAlignment(Qt::AlignHCenter);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(leiste);
    l->addWidget(bereich_);
    connect(zoom_, &QComboBox::currentIndexChanged, this,
            [this](int i) { ansicht_->SetZoom(zoom_->itemData(i).toDouble()); });
}

double VorschauFenster::Zoom() const {
    return ansicht_->Zoom();
}

void VorschauFenster::SetZoom(double faktor) {
    const int i = zoom_->findData(faktor);
    if (i >= 0)
        zoom_->setCurrentIndex(i);
    else
        ansicht_->SetZoom(faktor);
}

bool VorschauFenster::Drucken() {
    QPrinter drucker(QPrinter::HighResolution);
    QPrintDialog dlg(&drucker, this);
    if (dlg.exec() != QDialog::Accepted) return false;
    return report::Drucke(dl_, drucker) == Ok;
}

bool VorschauFenster::AlsPdf() {
    const QString pfad = forms::WaehlePdfDatei(this, titel_);
    if (pfad.isEmpty()) return false;
    if (SchreibePdf(dl_, pfad, titel_) != Ok) {
        forms::MsgBox(this, "Der Bericht konnte nicht gespeichert werden:\n" + QDir::toNativeSeparators(pfad),
                      forms::MsgButtons::OK, forms::MsgIcon::Exclamation);
        return false;
    }
    forms::MeldePdfGespeichert(this, pfad, QStringLiteral("Der Bericht"));
    return true;
}

} // namespace velu::report
