#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QObject>
#include <QPointer>

class QKeyEvent;

// The "项目选择" list: while a list cell is typed into, the entries of that cell that contain its
// text, to be chosen by double click or by Up, Down and Return. It holds entries only while it
// is shown, and it goes when the cell's editor goes.
class ItemPicker : public QObject
{
    Q_OBJECT
public:
    // `host` is the window the list is shown in.
    explicit ItemPicker(QWidget* host);
    ~ItemPicker() override;

    QListWidget* List() const { return list; }
    QComboBox* Target() const { return target; }

    // Serves `cell`: lists its entries that contain its text (ignoring case), shown at the cell
    // when there is at least one, hidden otherwise. No cell hides the list.
    void Follow(QComboBox* cell);
    void Hide();
    // Up and Down move the current entry, Return or Enter puts it into the cell. Does nothing
    // while the list is empty; otherwise the event is marked ignored. True when it acted.
    bool HandleKey(QKeyEvent* event);

protected:
    // Keys typed into the served cell reach the list first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Choose(QListWidgetItem* item);
    QSize FittingSize() const;
    void Move(int step);
    void Release();
    // The served cell is being destroyed: nothing of it may be touched any more.
    void Forget();

    QWidget* host;
    QPointer<QListWidget> list;
    QPointer<QComboBox> target;
    QMetaObject::Connection targetGone;
};
