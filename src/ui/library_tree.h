// TLibraryTree (VSTL): the library as a tree: thirteen categories, their circuits, and beneath each circuit
// its configurations: the built-in "Example" first, then those the user saved. Nodes are several lines
// high when their text needs it.
#pragma once

#include <QString>
#include <QTreeWidget>

#include <vector>

// The record of a node. Levels: 0 category, 1 circuit, 2 saved configuration.
struct TRecVSTLibrary {
    int level = 0;
    QString categorie;      // caption of a category node
    long long idConfig = 0; // configuration of a level-2 node
    int indexCircuit = 0;   // circuit number of levels 1 and 2
    QString nomCircuit;     // circuit title (level 1) or configuration name (level 2)
    QString comment;        // configuration comment (level 2)
    bool builtIn = false;   // level 2: the circuit's built-in example (idConfig 0), read-only
};

class TLibraryTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TLibraryTree(QWidget* parent = nullptr);

    // fillVSTLibrary: the categories, each circuit of each, and the configurations saved for each circuit
    // in the order the database gives them. A database that cannot be read is reported and leaves the
    // circuits without configurations. Categories and circuits open before stay open.
    void fillVSTLibrary();
    // The search result: one expanded root "Circuits containing "<text>"" with the circuits found.
    void showSearchResult(const QString& text, const std::vector<int>& circuits);
    bool showsSearchResult() const { return searchRoot_; }

    // popMenuVSTLDeleteConfigClick: asks, then deletes the configuration of a level-2 node and removes
    // its nodes (it stands under its circuit in several categories). The tree's right-click menu and the
    // Delete key come here. The built-in example is never deleted: the user is told so.
    void popMenuVSTLDeleteConfigClick(QTreeWidgetItem* item);

    static TRecVSTLibrary record(const QTreeWidgetItem* item);
    // The text a node shows: the category, "C<n> - <title>", or the configuration's name.
    static QString nodeText(const TRecVSTLibrary& r);

signals:
    // A click on a circuit node (comment empty) or a configuration node (its comment).
    void circuitClicked(int circuit, const QString& comment, bool isConfiguration);
    // A double-click: the request code (circuit + 1024 x configuration id) and the configuration's name;
    // the built-in example asks for the circuit alone (id 0) with the name "Example".
    void openRequested(int requestCode, const QString& configName);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const TRecVSTLibrary& r);
    void VSTLClick(QTreeWidgetItem* item);
    void VSTLDblClick(QTreeWidgetItem* item);
    void removeConfigNodes(long long id);

    bool searchRoot_ = false;
    int laidOutWidth_ = 0;
};
