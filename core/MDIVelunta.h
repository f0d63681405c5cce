#pragma once
// The main window: tool bands with every command of the program, enabled by the current user's rights, one
// dispatch by tool key, a status bar (tool description, project number, project name, date, time), and the
// work windows of the register and the project expenses in an MDI area.
#include <QMainWindow>
#include <QPointer>

class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace velu {
namespace forms {
class ToolBand;
}

class MDIVelunta : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIVelunta(QWidget* parent = nullptr);
    ~MDIVelunta() override;

    forms::ToolBand& ActiveBar1() { return *bar_; }
    QMdiArea* MdiArea() const { return mdi_; }
    QLabel* Panel(int i) const; // 1 to 5

    // Applies AktRechte to the tools; the project commands also need an open project database.
    void SetRechte();
    // The dispatch of every tool key.
    void ToolDispatch(const QString& key);

    // 0: backup, 1: restore; both between closing and reopening the databases.
    void ShowMakeDaSi(int modus);
    void ShowReorg();
    void AdressCall();
    void CallKopfUFuss();
    void SerieShow();

    // Shows or hides the first tool band (a maximised child window brings its own bar).
    void RefreshActiveBar(bool an);

    int BerAuswahlOffen = 0;

signals:
    // The program should end (EXIT, the window closed, or the master database not reopened).
    void Beendet(int code);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void ShowAbout();
    void ZeigeProjekt();
    void ZeigeKindfenster(const QString& name);
    void ZeigeDialog(const QString& name);
    // Whether a child window holding the databases is open; says so when it is.
    bool KindfensterOffen();
    void Sperren(bool gesperrt);
    // Waits with the event loop running until w is gone.
    void WarteAuf(QWidget* w);
    void OeffneNachSicherung();

    forms::ToolBand* bar_;
    QMdiArea* mdi_;
    QLabel* panels_[5];
    QPointer<QMdiSubWindow> berAuswahl_;
    QPointer<QMdiSubWindow> aufwand_;
    int exitCode_ = 0;
};

// Switches the main window's first band (no-op without a main window).
void RefreshActiveBar(bool an);

} // namespace velu
