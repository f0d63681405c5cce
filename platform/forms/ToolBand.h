#pragma once
// The tool bands of a form: one table of tools, each identified by its key ("OK", "EXIT", "DM", ...), with
// caption, icon, status-bar description, checked/enabled/visible state and an optional rights bit. A band is
// either a tool bar shown on the form or a pop-up band (a menu) that a tool of another band opens.
//
// Every command goes through one dispatch: the form sets a handler and receives the key of the tool that was
// clicked. Before the handler runs, the edit in progress is committed (the focused editor loses and regains
// the focus, so item-view editors and line edits finish their input; then the form's commit hook runs and may
// veto the command, for example when a typed value is invalid).
//
//     ToolBand bar(this);
//     bar.AddBand("Band1", ToolBand::BandKind::ToolBar);
//     bar.AddTool({"Band1", "OK", "OK", "Eingaben übernehmen"});
//     bar.SetHandler([this](const QString& key) { if (key == "OK") accept(); });
//
// The ToolBand is a child of the form; it places a tool-bar band with QMainWindow::addToolBar, on other
// forms as the menu bar of the form's layout (or the caller puts ToolBar(band) where it likes).
#include <QIcon>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class QWidget;

namespace velu::forms {

struct ToolDef {
    ToolDef() = default;
    ToolDef(QString band, QString key, QString caption, QString description = {}, QString subBand = {},
            int rightsBit = -1, QIcon icon = {})
        : band(std::move(band)), key(std::move(key)), caption(std::move(caption)),
          description(std::move(description)), subBand(std::move(subBand)), rightsBit(rightsBit),
          icon(std::move(icon)) {}

    QString band;        // band the tool stands on
    QString key;         // command key handed to the handler
    QString caption;     // text on the tool
    QString description; // text for the status bar while the pointer rests on the tool
    QString subBand;     // pop-up band this tool opens; such a tool dispatches nothing itself
    int rightsBit = -1;  // bit of the rights mask that enables the tool; -1: not governed by rights
    QIcon icon;
    bool checkable = false;
    QString exclusiveGroup; // checkable tools of one group: exactly one checked
};

class ToolBand : public QObject {
    Q_OBJECT
public:
    enum class BandKind { ToolBar, Popup };
    using Handler = std::function<void(const QString& key)>;
    using CommitHook = std::function<bool()>;

    explicit ToolBand(QWidget* form, const QString& name = QStringLiteral("ActiveBar1"));
    ~ToolBand() override;

    void AddBand(const QString& band, BandKind kind, const QString& caption = {});
    QAction* AddTool(const ToolDef& def);
    void AddTools(std::initializer_list<ToolDef> defs);

    // The Qt objects behind the bands and tools (nullptr when unknown).
    QToolBar* ToolBar(const QString& band) const;
    QMenu* Popup(const QString& band) const;
    QAction* Tool(const QString& band, const QString& key) const;
    const ToolDef* Definition(const QString& band, const QString& key) const;
    // Every tool of that key on any band, in the order added.
    std::vector<QAction*> Tools(const QString& key) const;

    bool Enabled(const QString& band, const QString& key) const;
    void SetEnabled(const QString& band, const QString& key, bool on);
    bool Checked(const QString& band, const QString& key) const;
    void SetChecked(const QString& band, const QString& key, bool on);
    bool Visible(const QString& band, const QString& key) const;
    void SetVisible(const QString& band, const QString& key, bool on);
    QString Caption(const QString& band, const QString& key) const;
    void SetCaption(const QString& band, const QString& key, const QString& caption);

    // Shows or hides a whole tool-bar band (a child window with its own bar hides the main band).
    void SetBandVisible(const QString& band, bool on);
    bool BandVisible(const QString& band) const;

    // Enables each tool that has a rights bit exactly when that bit is set in mask; tools without one are
    // left alone.
    void ApplyRights(uint32_t mask);

    void SetHandler(Handler h) { handler_ = std::move(h); }
    // Runs after the focused editor was committed; returning false cancels the command.
    void SetCommitHook(CommitHook h) { commit_ = std::move(h); }

    // Runs the command as a click does: nothing for an unknown, disabled or hidden tool or one that opens a
    // pop-up band; else commits the edit in progress and calls the handler. Returns whether the handler ran.
    bool Click(const QString& band, const QString& key);
    // The first tool with that key.
    bool Click(const QString& key);

    // The band's tag (FormTag): a dialog's OK leaves the acceptance marker "X" here for its opener.
    QString Tag() const;
    void SetTag(const QString& tag);

    // Makes the focused editor finish its input (focus out and back in, with the event loop run once).
    static void CommitFocusedEdit();

signals:
    // The pointer entered a tool or menu item: description is the status-bar text.
    void ToolEnter(const QString& key, const QString& description);
    // The pointer left the band.
    void ToolLeave();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        ToolDef def;
        QAction* action;
    };
    struct Band {
        BandKind kind;
        QToolBar* bar = nullptr;
        QMenu* menu = nullptr;
    };
    const Entry* Find(const QString& band, const QString& key) const;
    void AttachMenus();

    QWidget* form_;
    std::map<QString, Band> bands_;
    std::vector<Entry> tools_;
    std::map<QString, QActionGroup*> groups_;
    Handler handler_;
    CommitHook commit_;
};

} // namespace velu::forms
