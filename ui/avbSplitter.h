#pragma once
// Splitter that divides a container widget between two pane widgets separated by a 3-pixel bar the user
// drags with the left mouse button. avbSplitterH puts the panes side by side (vertical bar across the
// width), avbSplitterV stacks them (horizontal bar across the height). The owner form creates the
// container, the bar and the panes; Create re-parents bar and panes into the container. The splitter
// watches the mouse and resize events of container, bar and second pane itself, so the owner forwards
// nothing; the vb* operations stay public for owners that drive it directly.
#include "ui/SplitLayout.h"

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

namespace velu {

// Colours as the forms write them: 0x00BBGGRR, or a system colour with the top bit set.
inline constexpr std::int32_t vbButtonFace = static_cast<std::int32_t>(0x8000000F);
inline constexpr std::int32_t vbButtonShadow = static_cast<std::int32_t>(0x80000010);
QColor farbeAusOle(std::int32_t colour, const QPalette& palette);

class SplitterBase;

// Callbacks into the owner; a hook left empty is not called. "First" is the left/top pane, "Second" the
// right/bottom one. Values passed by reference may be changed; the splitter then uses them. In the
// BeforeResize hooks the fixed coordinate (top for left/right, left for top/bottom) is a copy.
struct SplitterHooks {
    std::function<void(SplitterBase&)> Resize;
    std::function<void(SplitterBase&, int& previous, int& next, bool& cancel)> SplitPosChange;
    std::function<void(SplitterBase&, QWidget* pane, bool& visible)> FirstBeforeShow;
    std::function<void(SplitterBase&, QWidget* pane, int& left, int& top, int& width, int& height)>
        FirstBeforeResize;
    std::function<void(SplitterBase&, QWidget* pane, bool& visible)> SecondBeforeShow;
    std::function<void(SplitterBase&, QWidget* pane, int& left, int& top, int& width, int& height)>
        SecondBeforeResize;
};

class SplitterBase : public QObject {
public:
    enum class Orientation { Horizontal, Vertical };

    SplitterHooks hooks;

    static constexpr double Version() { return 1.0; }
    static constexpr int spltVisible() { return velu::spltVisible; }
    static constexpr int spltRightBottom() { return velu::spltRightBottom; }
    static constexpr int spltLeftTop() { return velu::spltLeftTop; }

    Orientation orientation() const { return orientation_; }
    QObject* Owner() const { return owner_; }
    const QString& Name() const { return name_; }
    void Name(const QString& name) { name_ = name; }
    QWidget* container() const { return container_; }
    QWidget* bar() const { return bar_; }

    int SplitPos() const { return layout_.splitPos; }
    void SplitPos(int pos);
    int ShowSplit() const { return layout_.showSplit; }
    void ShowSplit(int value);
    bool AutoSplit() const { return layout_.autoSplit; }
    void AutoSplit(bool on);
    bool ENABLED() const { return enabled_; }
    void ENABLED(bool on);
    bool DragRealTime() const { return dragRealTime_; }
    void DragRealTime(bool on) { dragRealTime_ = on; }
    bool Proportional() const { return proportional_; }
    void Proportional(bool on);
    std::int32_t ShowColor() const { return showColor_; }
    void ShowColor(std::int32_t colour);
    std::int32_t DragColor() const { return dragColor_; }
    void DragColor(std::int32_t colour);
    QCursor MouseIcon() const;
    void MouseIcon(const QCursor& cursor);
    const QCursor& CursorNoDrop() const { return cursorNoDrop_; }
    void CursorNoDrop(const QCursor& cursor) { cursorNoDrop_ = cursor; }
    // 1 while a drag is in progress, else 0.
    int Mode() const { return mode_; }
    // Largest bar position of the last layout and the ratio kept for Proportional.
    int largestPosition() const { return layout_.largestPos; }
    float ratio() const { return layout_.ratio; }

    // Releases the container, bar, panes and no-drop cursor; the owner stays.
    void Destroy();
    // With AutoSplit and the first pane collapsed: pulls it out at position 1 and starts dragging.
    void BeginSplitDrag();

    // Host events; positions are container pixels along the extent, except vbMouseDown's, which is the
    // offset inside the bar. Buttons and shift state use the form values (1 left, 2 right, 4 middle).
    void vbDragOver(QWidget* control, int x, int y, int state);
    void vbMouseDown(int button, int shift, double pos);
    void vbSplitMouseMove();
    void vbMouseMove(int button, int shift, double pos);
    void vbMouseUp(int button, int shift, double pos);
    void vbResize();

protected:
    SplitterBase(Orientation orientation, const QString& defaultName, QObject* parent);

    void create(QObject* owner, const QString& name, QWidget* container, QWidget* bar, QWidget* first,
                QWidget* second, std::optional<int> splitPos, std::optional<int> minFirst,
                std::optional<int> minSecond, std::optional<QCursor> noDrop);
    QWidget* firstPane() const { return first_; }
    QWidget* secondPane() const { return second_; }
    void setFirstPane(QWidget* pane);
    void setSecondPane(QWidget* pane);
    int minFirst() const { return layout_.minFirst; }
    void setMinFirst(int value);
    int minSecond() const { return layout_.minSecond; }
    void setMinSecond(int value);
    void setMinimums(int first, int second);
    void setSkipFirst(bool on) { skipFirst_ = on; }
    void setSkipSecond(bool on) { skipSecond_ = on; }
    void secondPaneMouseDown(int button, double pos);
    void secondPaneMouseMove(double pos);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayoutSplit();
    void placePane(bool firstOne, bool visible, int start, int size, int across);
    void StartSplitDrag(double offset);
    void pullFirstPaneOut();
    void applyBarColour(std::int32_t colour);
    void moveBarTo(int pos);
    int extent() const;
    int across() const;
    double alongIn(QWidget* widget, const QPointF& local) const;
    void adoptChild(QWidget* child);
    void watch(QWidget* widget);

    Orientation orientation_;
    QPointer<QObject> owner_;
    QString name_;
    QPointer<QWidget> container_;
    QPointer<QWidget> bar_;
    QPointer<QWidget> first_;
    QPointer<QWidget> second_;
    // Panes the split itself has hidden; a pane its form hid stays hidden.
    bool firstHiddenBySplit_ = false;
    bool secondHiddenBySplit_ = false;
    SplitLayout layout_;
    bool enabled_ = true;
    bool dragRealTime_ = false;
    bool proportional_ = false;
    bool skipFirst_ = false;
    bool skipSecond_ = false;
    std::int32_t showColor_ = vbButtonFace;
    std::int32_t dragColor_ = vbButtonShadow;
    QCursor cursorNoDrop_;
    int mode_ = 0;
    QPointer<QWidget> rememberedFocus_;
    std::optional<QCursor> savedPaneCursor_;
    std::optional<QCursor> savedDragCursor_;
    bool inLayout_ = false;
    int previousPos_ = 0;
    bool cancel_ = false;
};

class avbSplitterH : public SplitterBase {
public:
    explicit avbSplitterH(QObject* parent = nullptr);

    void Create(QObject* owner, const QString& name, QWidget* container, QWidget* bar, QWidget* left,
                QWidget* right, std::optional<int> splitPos = {}, std::optional<int> minLeft = {},
                std::optional<int> minRight = {}, std::optional<QCursor> noDrop = {}) {
        create(owner, name, container, bar, left, right, splitPos, minLeft, minRight, noDrop);
    }

    QWidget* ControlLeft() const { return firstPane(); }
    void ControlLeft(QWidget* pane) { setFirstPane(pane); }
    QWidget* ControlRight() const { return secondPane(); }
    void ControlRight(QWidget* pane) { setSecondPane(pane); }
    int MinLeft() const { return minFirst(); }
    void MinLeft(int value) { setMinFirst(value); }
    int MinRight() const { return minSecond(); }
    void MinRight(int value) { setMinSecond(value); }
    void SetMinLeftRight(int minLeft, int minRight) { setMinimums(minLeft, minRight); }
    void SkipEnabledLeft(bool on) { setSkipFirst(on); }
    void SkipEnabledRight(bool on) { setSkipSecond(on); }
    // Pane events that matter only with AutoSplit; pos is in the right pane's own coordinates.
    void vbControlRightMouseDown(int button, double x) { secondPaneMouseDown(button, x); }
    void vbControlRightMouseMove(double x) { secondPaneMouseMove(x); }
};

class avbSplitterV : public SplitterBase {
public:
    explicit avbSplitterV(QObject* parent = nullptr);

    void Create(QObject* owner, const QString& name, QWidget* container, QWidget* bar, QWidget* top,
                QWidget* bottom, std::optional<int> splitPos = {}, std::optional<int> minTop = {},
                std::optional<int> minBottom = {}, std::optional<QCursor> noDrop = {}) {
        create(owner, name, container, bar, top, bottom, splitPos, minTop, minBottom, noDrop);
    }

    QWidget* ControlTop() const { return firstPane(); }
    void ControlTop(QWidget* pane) { setFirstPane(pane); }
    QWidget* ControlBottom() const { return secondPane(); }
    void ControlBottom(QWidget* pane) { setSecondPane(pane); }
    int MinTop() const { return minFirst(); }
    void MinTop(int value) { setMinFirst(value); }
    int MinBottom() const { return minSecond(); }
    void MinBottom(int value) { setMinSecond(value); }
    void SetMinTopBottom(int minTop, int minBottom) { setMinimums(minTop, minBottom); }
    void SkipEnabledTop(bool on) { setSkipFirst(on); }
    void SkipEnabledBottom(bool on) { setSkipSecond(on); }
    void vbControlBottomMouseDown(int button, double y) { secondPaneMouseDown(button, y); }
    void vbControlBottomMouseMove(double y) { secondPaneMouseMove(y); }
};

} // namespace velu
