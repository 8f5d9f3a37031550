#pragma once

#include "frame/Control.h"

#include <memory>

// An entry field (txtcombo) with a tree of choices (treCombo) that drops down beneath it: when the field
// gets the focus the tree opens, the control grows to 2400 twips and the tree takes the focus; clicking a
// node (or moving onto it with the keyboard) copies its text into the field; ENTER in the tree moves on to
// the next field; when the tree loses the focus it folds away and the control shrinks to 405 twips.
//
//     combo->AddRoot("fruit", "Fruit");
//     combo->AddChild("fruit", "apple", "Apple");
//     ... later: combo->Text()
//
// The field cannot be typed into: its text changes only by a pick or through Text. The tree is not saved;
// the host builds it again each time it loads the form.
class VqHierarchyCombo : public vq::Control
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)

public:
    explicit VqHierarchyCombo(QWidget *parent = nullptr);
    ~VqHierarchyCombo() override;

    QString Text() const;
    void setText(const QString &text);

    // Adds a node as the last child of the node whose key is Root. Errors of the tree reach the caller and
    // add nothing: 35602 the key is already in the tree, 35601 no node has the key Root.
    Q_INVOKABLE void AddChild(const QString &Root, const QString &Key, const QString &Text);
    // Adds a top-level node after the existing ones; 35602 when the key is already in the tree.
    Q_INVOKABLE void AddRoot(const QString &Key, const QString &Text);

    const vq::PropertyTable &propertyTable() const override;

protected:
    void Resize() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void open();
    void fold();

    struct Private;
    std::unique_ptr<Private> d;
};
