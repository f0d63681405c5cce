#pragma once
// The restore dialog: choose an archive and restore the data set it holds. Shown modeless by the main window
// while both databases are closed.
#include "core/DaSiOut.h"

namespace velu {

class DaSiinPro;

class DaSiin : public QDialog {
    Q_OBJECT
public:
    DaSiin(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store = nullptr,
           QWidget* parent = nullptr);
    ~DaSiin() override;

    void SicherungBack();
    void MakeProjekteintrag(QString& nummer, QString& name);
    void Getdateiname(short modus, QString& name);

    forms::ToolBand& Band() { return *band_; }
    Datensicherung& Engine() { return engine_; }
    void SetDateiDialog(DateiDialog d) { dialog_ = std::move(d); }
    // How the single-project dialog is shown; tests fill its fields and click instead of exec().
    void SetProjektDialog(std::function<void(DaSiinPro&)> zeige) { zeigePro_ = std::move(zeige); }

private:
    void Werkzeug(const QString& key);
    outside::ProjektUmgebung& umgebung_;
    Datensicherung engine_;
    settings::SettingsStore* store_;
    forms::ToolBand* band_;
    QLabel* label3_;
    QString vorgabe_;
    DateiDialog dialog_ = ZeigeDateiDialog;
    std::function<void(DaSiinPro&)> zeigePro_;
};

} // namespace velu
