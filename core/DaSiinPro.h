#pragma once
// Restore of one project: shows the number and name stored in the archive and asks for the number and name
// the project gets; its OK checks the target folder. Loaded per restore and shown modally.
#include <QDialog>

class QLabel;
class QLineEdit;

namespace velu::outside {
class ProjektUmgebung;
}
namespace velu::forms {
class ToolBand;
}

namespace velu {

class DaSiinPro : public QDialog {
    Q_OBJECT
public:
    explicit DaSiinPro(outside::ProjektUmgebung& umgebung, QWidget* parent = nullptr);

    void MakeConections(const QString& deskriptor, bool& fehler);
    void Checkpath(QString& ziel);
    void GetZiel(bool& abbruch, bool& ueberschreiben, QString& ziel) const;

    QString Nummer() const;
    QString Name() const;
    forms::ToolBand& Band() { return *band_; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void Werkzeug(const QString& key);
    outside::ProjektUmgebung& umgebung_;
    forms::ToolBand* band_;
    QLabel* altNummer_;
    QLabel* altName_;
    QLineEdit* xtraText1_[2];
    bool abbruch_ = false;
    bool ueberschreiben_ = false;
    QString ziel_;
    QString datum_;
};

} // namespace velu
