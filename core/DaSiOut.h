#pragma once
// The backup dialog: choose one of five data sets and the archive file, then back it up. Shown modeless by
// the main window while both databases are closed.
#include "core/Datensicherung.h"

#include <QDialog>
#include <functional>

class QLabel;
class QVBoxLayout;
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
// vorschlag: the archive shown in Label3; the dialog opens in its folder and offers it when it exists, else
// in the documents folder.
QString ZeigeDateiDialog(QWidget* parent, int modus, const QString& vorschlag = {});

// ARCHIV.ZIP in the user's documents folder, in the home folder when there is none.
QString VorgabeArchiv();

// What both backup dialogs share: the toolbar "Sicherung starten", " Laufwerk wählen", " Maske verlassen",
// the archive path in Label3, the file dialog and the window position.
class DaSiDialog : public QDialog {
public:
    ~DaSiDialog() override;

    void Getdateiname(short modus, QString& name);
    forms::ToolBand& Band() { return *band_; }
    Datensicherung& Engine() { return engine_; }
    void SetDateiDialog(DateiDialog d) { dialog_ = std::move(d); }

protected:
    // modus: the file dialog's modus of the " Laufwerk wählen" tool.
    DaSiDialog(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store,
               QWidget* parent, const char* name, const QString& titel, short modus);
    // Label3 with the preset archive (the one last written or restored, when it still exists), below what the
    // dialog has laid out so far; then the stored position.
    void Abschliessen();
    // Remembers archiv as the one last written or restored.
    void Merken(const QString& archiv);
    // The "OK" tool.
    virtual void Starten() = 0;

    QVBoxLayout* layout_;
    Datensicherung engine_;
    settings::SettingsStore* store_;
    forms::ToolBand* band_;
    QLabel* label3_ = nullptr;
    DateiDialog dialog_;

private:
    void Werkzeug(const QString& key);
    short modus_;
};

class DaSiOut : public DaSiDialog {
    Q_OBJECT

public:
    // store: where the window position is kept, nullptr for none.
    DaSiOut(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store = nullptr,
            QWidget* parent = nullptr);

    void CallSicherung();
    void Wasistzusichern(short& nummer) const;

private:
    void Starten() override { CallSicherung(); }

    QRadioButton* option1_[5];
};

} // namespace velu
