#pragma once
// The restore dialog: choose an archive and restore the data set it holds. Shown modeless by the main window
// while both databases are closed.
#include "core/DaSiOut.h"

namespace velu {

class DaSiinPro;

class DaSiin : public DaSiDialog {
    Q_OBJECT

public:
    DaSiin(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store = nullptr,
           QWidget* parent = nullptr);

    void SicherungBack();
    void MakeProjekteintrag(QString& nummer, QString& name);
    // How the single-project dialog is shown; tests fill its fields and click instead of exec().
    void SetProjektDialog(std::function<void(DaSiinPro&)> zeige) { zeigePro_ = std::move(zeige); }

private:
    void Starten() override { SicherungBack(); }

    outside::ProjektUmgebung& umgebung_;
    QString vorgabe_;
    std::function<void(DaSiinPro&)> zeigePro_;
};

} // namespace velu
