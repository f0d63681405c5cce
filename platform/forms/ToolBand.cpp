#include "platform/forms/ToolBand.h"

#include "platform/forms/FormTag.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <QToolButton>

namespace velu::forms {

ToolBand::ToolBand(QWidget* form, const QString& name) : QObject(form), form_(form) {
    setObjectName(name);
}

ToolBand::~ToolBand() = default;

void ToolBand::AddBand(const QString& band, BandKind kind, const QString& caption) {
    Band b{kind};
    if (kind == BandKind::ToolBar) {
        b.bar = new QToolBar(caption.isEmpty() ? band : caption, form_);
        b.bar->setObjectName(band);
        b.bar->setMovable(false);
        b.bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b.bar->setIconSize(QSize(24, 24));
        b.bar->installEventFilter(this);
        if (auto* mw = qobject_cast<QMainWindow*>(form_))
            mw->addToolBar(Qt::TopToolBarArea, b.bar);
        else if (form_ && form_->layout() && !form_->layout()->menuBar())
            form_->layout()->setMenuBar(b.bar);
    } else {
        b.menu = new QMenu(caption.isEmpty() ? band : caption, form_);
        b.menu->setObjectName(band);
        b.menu->installEventFilter(this);
        connect(b.menu, &QMenu::aboutToHide, this, [this] { emit ToolLeave(); });
    }
    bands_[band] = b;
    AttachMenus();
}

QAction* ToolBand::AddTool(const ToolDef& def) {
    auto it = bands_.find(def.band);
    if (it == bands_.end()) return nullptr;
    auto* a = new QAction(def.icon, def.caption, this);
    a->setObjectName(def.band + "." + def.key);
    a->setToolTip(def.description.isEmpty() ? def.caption : def.description);
    a->setCheckable(def.checkable);
    if (!def.exclusiveGroup.isEmpty()) {
        auto& g = groups_[def.exclusiveGroup];
        if (!g) {
            g = new QActionGroup(this);
            g->setExclusive(true);
        }
        g->addAction(a);
    }
    if (it->second.bar)
        it->second.bar->addAction(a);
    else
        it->second.menu->addAction(a);
    const QString band = def.band, key = def.key,
                  desc = def.description.isEmpty() ? def.caption : def.description;
    connect(a, &QAction::hovered, this, [this, key, desc] { emit ToolEnter(key, desc); });
    connect(a, &QAction::triggered, this, [this, band, key] { Click(band, key); });
    tools_.push_back({def, a});
    AttachMenus();
    return a;
}

void ToolBand::AddTools(std::initializer_list<ToolDef> defs) {
    for (const auto& d : defs)
        AddTool(d);
}

void ToolBand::AttachMenus() {
    for (auto& e : tools_) {
        if (e.def.subBand.isEmpty() || e.action->menu()) continue;
        auto it = bands_.find(e.def.subBand);
        if (it == bands_.end() || !it->second.menu) continue;
        e.action->setMenu(it->second.menu);
        if (auto bt = bands_.find(e.def.band); bt != bands_.end() && bt->second.bar)
            if (auto* button = qobject_cast<QToolButton*>(bt->second.bar->widgetForAction(e.action)))
                button->setPopupMode(QToolButton::InstantPopup);
    }
}

const ToolBand::Entry* ToolBand::Find(const QString& band, const QString& key) const {
    for (const auto& e : tools_)
        if (e.def.band == band && e.def.key == key) return &e;
    return nullptr;
}

QToolBar* ToolBand::ToolBar(const QString& band) const {
    auto it = bands_.find(band);
    return it == bands_.end() ? nullptr : it->second.bar;
}

QMenu* ToolBand::Popup(const QString& band) const {
    auto it = bands_.find(band);
    return it == bands_.end() ? nullptr : it->second.menu;
}

QAction* ToolBand::Tool(const QString& band, const QString& key) const {
    const Entry* e = Find(band, key);
    return e ? e->action : nullptr;
}

const ToolDef* ToolBand::Definition(const QString& band, const QString& key) const {
    const Entry* e = Find(band, key);
    return e ? &e->def : nullptr;
}

std::vector<QAction*> ToolBand::Tools(const QString& key) const {
    std::vector<QAction*> out;
    for (const auto& e : tools_)
        if (e.def.key == key) out.push_back(e.action);
    return out;
}

bool ToolBand::Enabled(const QString& band, const QString& key) const {
    const Entry* e = Find(band, key);
    return e && e->action->isEnabled();
}

void ToolBand::SetEnabled(const QString& band, const QString& key, bool on) {
    if (const Entry* e = Find(band, key)) e->action->setEnabled(on);
}

bool ToolBand::Checked(const QString& band, const QString& key) const {
    const Entry* e = Find(band, key);
    return e && e->action->isChecked();
}

void ToolBand::SetChecked(const QString& band, const QString& key, bool on) {
    if (const Entry* e = Find(band, key)) e->action->setChecked(on);
}

bool ToolBand::Visible(const QString& band, const QString& key) const {
    const Entry* e = Find(band, key);
    return e && e->action->isVisible();
}

void ToolBand::SetVisible(const QString& band, const QString& key, bool on) {
    if (const Entry* e = Find(band, key)) e->action->setVisible(on);
}

QString ToolBand::Caption(const QString& band, const QString& key) const {
    const Entry* e = Find(band, key);
    return e ? e->action->text() : QString();
}

void ToolBand::SetCaption(const QString& band, const QString& key, const QString& caption) {
    if (const Entry* e = Find(band, key)) e->action->setText(caption);
}

void ToolBand::SetBandVisible(const QString& band, bool on) {
    if (QToolBar* bar = ToolBar(band)) bar->setVisible(on);
}

bool ToolBand::BandVisible(const QString& band) const {
    QToolBar* bar = ToolBar(band);
    return bar && !bar->isHidden();
}

void ToolBand::ApplyRights(uint32_t mask) {
    for (const auto& e : tools_) {
        if (e.def.rightsBit < 0 || e.def.rightsBit > 31) continue;
        const uint32_t bit = 1u << e.def.rightsBit;
        e.action->setEnabled((mask & bit) == bit);
    }
}

bool ToolBand::Click(const QString& band, const QString& key) {
    const Entry* e = Find(band, key);
    if (!e || !e->action->isEnabled() || !e->action->isVisible() || !e->def.subBand.isEmpty()) return false;
    CommitFocusedEdit();
    if (commit_ && !commit_()) return false;
    if (handler_) handler_(key);
    return static_cast<bool>(handler_);
}

bool ToolBand::Click(const QString& key) {
    for (const auto& e : tools_)
        if (e.def.key == key) return Click(e.def.band, key);
    return false;
}

QString ToolBand::Tag() const {
    return FormTag(*this);
}

void ToolBand::SetTag(const QString& tag) {
    SetFormTag(*this, tag);
}

void ToolBand::CommitFocusedEdit() {
    QPointer<QWidget> focused = QApplication::focusWidget();
    if (!focused) return;
    focused->clearFocus();
    QApplication::processEvents();
    if (focused) focused->setFocus();
}

bool ToolBand::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Leave) emit ToolLeave();
    return QObject::eventFilter(watched, event);
}

} // namespace velu::forms
