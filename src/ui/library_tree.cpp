// The library tree: nodes and their records, multi-line painting, clicks, and deleting a configuration.
#include "ui/library_tree.h"

#include "circuits/catalogue.h"
#include "storage/builtin_configs.h"
#include "storage/configurations.h"
#include "ui/message_boxes.h"
#include "ui/ui_fonts.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>
#include <QStyledItemDelegate>

#include <map>

namespace {
enum Role {
    LevelRole = Qt::UserRole + 1,
    CategorieRole,
    IdConfigRole,
    IndexCircuitRole,
    NomCircuitRole,
    CommentRole,
    BuiltInRole,
};

constexpr int kExtraHeight = 7; // a node is as high as its text plus this
constexpr int kTextMargin = 4;

int depthOf(const QModelIndex& index) {
    int depth = 0;
    for (QModelIndex i = index.parent(); i.isValid(); i = i.parent())
        ++depth;
    return depth;
}

// Paints a node's text word-wrapped in the width the tree gives it, and sizes the node to it.
class NodeDelegate : public QStyledItemDelegate {
public:
    explicit NodeDelegate(QTreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const int indent = tree_->indentation() * (depthOf(index) + (tree_->rootIsDecorated() ? 1 : 0));
        const int width = std::max(40, tree_->viewport()->width() - indent - 2 * kTextMargin);
        const QRect text = QFontMetrics(opt.font).boundingRect(QRect(0, 0, width, 100000),
                                                               Qt::TextWordWrap | Qt::AlignLeft, opt.text);
        return QSize(width + 2 * kTextMargin, text.height() + kExtraHeight);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        painter->save();
        painter->setFont(opt.font);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->setPen(selected ? opt.palette.color(QPalette::HighlightedText)
                                 : index.data(Qt::ForegroundRole).value<QBrush>().color());
        painter->drawText(opt.rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                          Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, text);
        painter->restore();
    }

private:
    QTreeView* tree_;
};

QString expansionKey(const QTreeWidgetItem* item) {
    QString key;
    for (const QTreeWidgetItem* i = item; i; i = i->parent())
        key.prepend(i->text(0) + QLatin1Char('\n'));
    return key;
}
} // namespace

TLibraryTree::TLibraryTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("VSTL"));
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(false);
    setWordWrap(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new NodeDelegate(this));
    setFont(uiFont(9));
    header()->setStretchLastSection(true);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { VSTLClick(item); });
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { VSTLDblClick(item); });
}

TRecVSTLibrary TLibraryTree::record(const QTreeWidgetItem* item) {
    TRecVSTLibrary r;
    if (!item)
        return r;
    r.level = item->data(0, LevelRole).toInt();
    r.categorie = item->data(0, CategorieRole).toString();
    r.idConfig = item->data(0, IdConfigRole).toLongLong();
    r.indexCircuit = item->data(0, IndexCircuitRole).toInt();
    r.nomCircuit = item->data(0, NomCircuitRole).toString();
    r.comment = item->data(0, CommentRole).toString();
    r.builtIn = item->data(0, BuiltInRole).toBool();
    return r;
}

QString TLibraryTree::nodeText(const TRecVSTLibrary& r) {
    switch (r.level) {
    case 0:
        return r.categorie;
    case 1:
        return QStringLiteral("C%1 - %2").arg(r.indexCircuit).arg(r.nomCircuit);
    default:
        return r.nomCircuit;
    }
}

QTreeWidgetItem* TLibraryTree::addNode(QTreeWidgetItem* parent, const TRecVSTLibrary& r) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setData(0, LevelRole, r.level);
    item->setData(0, CategorieRole, r.categorie);
    item->setData(0, IdConfigRole, r.idConfig);
    item->setData(0, IndexCircuitRole, r.indexCircuit);
    item->setData(0, NomCircuitRole, r.nomCircuit);
    item->setData(0, CommentRole, r.comment);
    item->setData(0, BuiltInRole, r.builtIn);
    item->setText(0, nodeText(r));
    QFont font = uiFont(9, r.level < 2);
    font.setItalic(r.level == 2);
    item->setFont(0, font);
    static const QColor colours[] = {QColor(0x99, 0x00, 0x00), QColor(0x80, 0x80, 0x80), QColor(Qt::black)};
    item->setForeground(0, colours[std::clamp(r.level, 0, 2)]);
    if (r.builtIn) {
        item->setForeground(0, QColor(0x00, 0x50, 0x90));
        item->setToolTip(0,
                         QStringLiteral("Built-in configuration: it can be opened, not changed or deleted"));
    }
    return item;
}

void TLibraryTree::fillVSTLibrary() {
    QSet<QString> open;
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if ((*it)->isExpanded())
            open.insert(expansionKey(*it));
    clear();
    searchRoot_ = false;

    // The examples file is packaged data: without it the circuits simply have no built-in node.
    const ExamplesRead examples = readExamples();
    std::map<int, TArrayCircuitConfig> configs;
    guarded(window(), [&] {
        for (int n = 1; n <= kCircuitCount; ++n)
            configs[n] = getCircuitConfigs(configCode(n));
    });
    for (const Category& category : categories()) {
        TRecVSTLibrary root;
        root.categorie = QString::fromStdString(category.treeCaption);
        QTreeWidgetItem* rootItem = addNode(nullptr, root);
        for (int n : category.circuits) {
            TRecVSTLibrary circuit;
            circuit.level = 1;
            circuit.indexCircuit = n;
            circuit.nomCircuit = QString::fromStdString(Titres()[static_cast<std::size_t>(n)]);
            QTreeWidgetItem* circuitItem = addNode(rootItem, circuit);
            if (const CircuitExample* example = examples.ok ? examples.set.find(n) : nullptr) {
                TRecVSTLibrary builtIn;
                builtIn.level = 2;
                builtIn.indexCircuit = n;
                builtIn.nomCircuit = QString::fromUtf8(kExampleConfigName);
                builtIn.comment = QString::fromStdString(example->comment);
                builtIn.builtIn = true;
                addNode(circuitItem, builtIn);
            }
            for (const TCircuitConfig& c : configs[n]) {
                TRecVSTLibrary config;
                config.level = 2;
                config.idConfig = c.id;
                config.indexCircuit = n;
                config.nomCircuit = QString::fromStdString(c.name);
                config.comment = QString::fromStdString(c.comment);
                addNode(circuitItem, config);
            }
        }
    }
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if (open.contains(expansionKey(*it)))
            (*it)->setExpanded(true);
}

void TLibraryTree::showSearchResult(const QString& text, const std::vector<int>& circuits) {
    clear();
    searchRoot_ = true;
    TRecVSTLibrary root;
    root.categorie = QStringLiteral("Circuits containing \"%1\"").arg(text);
    QTreeWidgetItem* rootItem = addNode(nullptr, root);
    for (int n : circuits) {
        TRecVSTLibrary circuit;
        circuit.level = 1;
        circuit.indexCircuit = n;
        circuit.nomCircuit = QString::fromStdString(Titres()[static_cast<std::size_t>(n)]);
        addNode(rootItem, circuit);
    }
    rootItem->setExpanded(true);
}

void TLibraryTree::VSTLClick(QTreeWidgetItem* item) {
    const TRecVSTLibrary r = record(item);
    if (r.level == 1)
        emit circuitClicked(r.indexCircuit, QString(), false);
    else if (r.level == 2)
        emit circuitClicked(r.indexCircuit, r.comment, true);
}

void TLibraryTree::VSTLDblClick(QTreeWidgetItem* item) {
    const TRecVSTLibrary r = record(item);
    if (r.level == 1)
        emit openRequested(r.indexCircuit, QString());
    else if (r.level == 2 && r.builtIn)
        emit openRequested(r.indexCircuit, r.nomCircuit);
    else if (r.level == 2)
        emit openRequested(static_cast<int>(r.indexCircuit + 1024 * r.idConfig), r.nomCircuit);
}

void TLibraryTree::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item || !item->isSelected() || record(item).level != 2 || record(item).builtIn)
        return;
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Delete this configuration..."));
    remove->setObjectName(QStringLiteral("popMenuVSTLDeleteConfig"));
    if (menu.exec(event->globalPosition().toPoint()) == remove)
        popMenuVSTLDeleteConfigClick(item);
}

void TLibraryTree::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* item = currentItem();
    if (item && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        VSTLDblClick(item);
        return;
    }
    if (item && event->key() == Qt::Key_Delete && record(item).level == 2) {
        popMenuVSTLDeleteConfigClick(item);
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TLibraryTree::popMenuVSTLDeleteConfigClick(QTreeWidgetItem* item) {
    const TRecVSTLibrary r = record(item);
    if (r.level != 2)
        return;
    if (r.builtIn) {
        showInformation(window(), QStringLiteral("The built-in configuration \"%1\" cannot be deleted")
                                      .arg(QString::fromUtf8(kExampleConfigName)));
        return;
    }
    if (!confirmYesNoCancel(
            window(),
            QStringLiteral("Do you want to erase your circuit configuration \"%1\" ?").arg(r.nomCircuit)))
        return;
    bool deleted = false;
    if (guarded(window(), [&] { deleted = deleteCircuitConfig(r.idConfig); }) && deleted)
        removeConfigNodes(r.idConfig);
}

void TLibraryTree::removeConfigNodes(long long id) {
    // The configuration stands under its circuit in every category that holds the circuit.
    std::vector<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if (record(*it).level == 2 && record(*it).idConfig == id)
            nodes.push_back(*it);
    for (QTreeWidgetItem* node : nodes)
        delete node;
}

void TLibraryTree::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    // VSTLResize: the node heights follow the width.
    if (viewport()->width() != laidOutWidth_) {
        laidOutWidth_ = viewport()->width();
        doItemsLayout();
    }
}
