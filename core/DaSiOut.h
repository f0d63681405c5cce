#pragma once
// The backup dialog: choose one of five data sets and the archive file, then back it up. Shown modeless by
// the main window while both databases are closed.
#include "core/Datensicherung.h"

#include <QDialog>
#include <functional>

class QLabel;
class QRadioButton;

namespace velu::settings {
class SettingsStore;
}
namespace velu::forms {
class ToolBand;
}

namespace velu {

// The file dialog of both backup dialogs: modus 1 asks for an existing archive to open, any other for one to
// write. Returns the chosen path, empty when the user cancelled.
using DateiDialog = std::function<QString(QWidget* parent, int modus)>;
QString ZeigeDateiDialog(QWidget* parent, int modus);

// Text of Label3 before a file was chosen: ARCHIV.ZIP in the user's documents folder, in the home folder when
// there is none.
QString VorgabeArchiv();

class DaSiOut : public QDialog {
    Q_OBJECT
public:
    // store: where the window position is kept, nullptr for none.
    DaSiOut(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store = nullptr,
            QWidget* parent = nullptr);
    ~DaSiOut() override;

    void CallSicherung();
    void Wasistzusichern(short& nummer) const;
    void Getdateiname(short modus, QString& name);

    forms::ToolBand& Band() { return *band_; }
    void SetDateiDialog(DateiDialog d) { dialog_ = std::move(d); }

private:
    void Werkzeug(const QString& key);
    Datensicherung engine_;
    settings::SettingsStore* store_;
    forms::ToolBand* band_;
    QLabel* label3_;
    QRadioButton* option1_[5];
    DateiDialog dialog_ = ZeigeDateiDialog;
};

} // namespace velu
