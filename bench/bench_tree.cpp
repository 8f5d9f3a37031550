// The keyed tree against a plain QTreeWidget: building 100,000 nodes (1,000 top-level nodes of 99 children
// each, every child placed by its parent's key) and looking nodes up by key. Every figure is printed beside
// a baseline measured in the same run.

#include "platform/TreeView.h"

#include <QApplication>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Roots = 1000;
constexpr int ChildrenPerRoot = 99;

double millis(const std::function<void()> &f, int runs = 3)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        t.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void row(const char *what, double value, const char *unit, const char *baselineName, double baseline,
    const char *goal)
{
    std::printf("%-46s %10.3f %-3s | %-40s %10.3f %-3s | %s\n", what, value, unit, baselineName, baseline,
        unit, goal);
}

QString rootKey(int r)
{
    return QStringLiteral("r%1").arg(r);
}

QString childKey(int r, int c)
{
    return QStringLiteral("r%1c%2").arg(r).arg(c);
}

// The keyed build as a host writes it: each child added by its parent's key.
void keyedBuild(vq::TreeView &tree)
{
    tree.Nodes().Clear();
    for (int r = 0; r < Roots; ++r) {
        const QString key = rootKey(r);
        tree.Nodes().Add({}, vq::TreeNodes::tvwLast, key, key);
        for (int c = 0; c < ChildrenPerRoot; ++c) {
            const QString child = childKey(r, c);
            tree.Nodes().Add(key, vq::TreeNodes::tvwChild, child, child);
        }
    }
}

// The same tree built straight from item pointers, with no keys kept.
void plainBuild(QTreeWidget &tree)
{
    tree.clear();
    for (int r = 0; r < Roots; ++r) {
        const QString key = rootKey(r);
        auto *root = new QTreeWidgetItem(QStringList(key));
        tree.addTopLevelItem(root);
        for (int c = 0; c < ChildrenPerRoot; ++c)
            root->addChild(new QTreeWidgetItem(QStringList(childKey(r, c))));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("\n== Keyed tree (%d nodes)\n", Roots * (1 + ChildrenPerRoot));

    vq::TreeView keyed;
    QTreeWidget plain;
    plain.setHeaderHidden(true);
    const double ours = millis([&] { keyedBuild(keyed); });
    const double base = millis([&] { plainBuild(plain); });
    std::printf("(nodes: keyed %d, plain %d)\n", keyed.Nodes().Count(),
        plain.topLevelItemCount() * (1 + ChildrenPerRoot));
    row("build by key (Nodes.Add, child of key)", ours, "ms", "plain QTreeWidget, item pointers", base,
        "goal: well under 1000 ms");

    // Look-ups: every 1,000th child by key, against the widget's own search by text.
    constexpr int Lookups = 100;
    int found = 0;
    const double ourLookup = millis([&] {
        for (int i = 0; i < Lookups; ++i)
            found += keyed.Nodes().Item(childKey(i * 10, i % ChildrenPerRoot)).isNull() ? 0 : 1;
    });
    int scanned = 0;
    const double scan = millis([&] {
        for (int i = 0; i < Lookups; ++i)
            scanned += int(
                plain.findItems(childKey(i * 10, i % ChildrenPerRoot), Qt::MatchExactly | Qt::MatchRecursive)
                    .size());
    });
    row("100 look-ups by key (hash)", ourLookup, "ms", "100 QTreeWidget::findItems (recursive)", scan,
        "goal: independent of tree size");
    std::printf("(found: keyed %d, scanned %d)\n", found / 3, scanned / 3);
    return 0;
}
