#include "views/ExclusionFilesDlg.h"

#include "app/ExclusionFilesModel.h"
#include "views/ExclusionBrowseDlg.h"
#include "views/WildcardEntryDlg.h"
#include "widgets/Text.h"
#include "widgets/Tooltips.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::views {
namespace {

const widgets::TooltipTable kTooltips{
    {"explicitFiles", "List of files/folders to be excluded from the synchronisation"},
    {"wildcardFiles", "List of file wildcards to be excluded from the synchronisation"},
    {"remove", "Remove selected files/folders from the exclusion list"},
    {"browse", "Explorer style display of excluded files/folders"},
    {"wildcard", "Add a wildcard to the exclusion list"},
    {"removeWildcard", "Remove selected file wildcards from the exclusion list"},
    {"lostFiles", "Select files/folders from the exclusion list that no longer exist"}};

QPushButton* button(const char* text, const char* name, QWidget* parent) {
    auto* result = new QPushButton(QString::fromLatin1(text), parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}

QListWidget* list(const char* name, const char* accessible, QWidget* parent) {
    auto* result = new QListWidget(parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAccessibleName(QString::fromLatin1(accessible));
    result->setSelectionMode(QAbstractItemView::ExtendedSelection);
    result->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    result->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    result->setWordWrap(false);
    return result;
}

std::set<std::size_t> selectedLines(const QListWidget* list) {
    std::set<std::size_t> lines;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->isSelected())
            lines.insert(static_cast<std::size_t>(row));
    return lines;
}

void fillList(QListWidget* list, const std::vector<std::string>& lines) {
    list->clear();
    for (const std::string& line : lines)
        list->addItem(widgets::fromPath(line));
}

} // namespace

ExclusionFilesDlg::ExclusionFilesDlg(ExclusionFilesModel& model, browse::BrowseEnvironment& environment,
                                     bool showTooltips, QWidget* parent)
    : QDialog(parent), model_(model), environment_(environment), showTooltips_(showTooltips),
      explicit_(list("explicitFiles", "Explicit Files", this)),
      wildcards_(list("wildcardFiles", "Wildcard Files", this)), remove_(button("&Remove", "remove", this)),
      removeWildcard_(button("Rem W&ildcard", "removeWildcard", this)),
      lost_(button("&Lost Files", "lostFiles", this)) {
    setWindowTitle(QStringLiteral("Exclusion Files"));
    setObjectName(QStringLiteral("exclusionFilesDialog"));
    setSizeGripEnabled(true);
    auto* layout = new QGridLayout(this);
    auto* explicitLabel = new QLabel(QStringLiteral("&Explicit Files:"), this);
    explicitLabel->setBuddy(explicit_);
    auto* wildcardLabel = new QLabel(QStringLiteral("Wildcard &Files"), this);
    wildcardLabel->setBuddy(wildcards_);
    layout->addWidget(explicitLabel, 0, 0);
    layout->addWidget(explicit_, 1, 0);
    layout->addWidget(wildcardLabel, 2, 0);
    layout->addWidget(wildcards_, 3, 0);
    layout->setRowStretch(1, 3);
    layout->setRowStretch(3, 2);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    QPushButton* cancel = button("Cancel", "cancel", this);
    QPushButton* browseButton = button("&Browse", "browse", this);
    QPushButton* wildcard = button("&Wildcard", "wildcard", this);
    auto* upper = new QVBoxLayout();
    for (QPushButton* each : {ok, cancel, browseButton, remove_, lost_})
        upper->addWidget(each);
    upper->addStretch(1);
    auto* lower = new QVBoxLayout();
    lower->addWidget(wildcard);
    lower->addWidget(removeWildcard_);
    lower->addStretch(1);
    layout->addLayout(upper, 1, 1);
    layout->addLayout(lower, 3, 1);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 26);

    widgets::applyTooltips(this, kTooltips, showTooltips_);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browseButton, &QPushButton::clicked, this, &ExclusionFilesDlg::browse);
    connect(wildcard, &QPushButton::clicked, this, &ExclusionFilesDlg::addWildcard);
    connect(remove_, &QPushButton::clicked, this, &ExclusionFilesDlg::remove);
    connect(removeWildcard_, &QPushButton::clicked, this, &ExclusionFilesDlg::removeWildcard);
    connect(lost_, &QPushButton::clicked, this, &ExclusionFilesDlg::selectLost);
    for (QListWidget* each : {explicit_, wildcards_})
        connect(each, &QListWidget::itemSelectionChanged, this, &ExclusionFilesDlg::takeSelections);
    lost_->setVisible(model_.showsLostFiles());
    refill();
}

void ExclusionFilesDlg::refill() {
    updating_ = true;
    fillList(explicit_, model_.explicitLines());
    fillList(wildcards_, model_.wildcardLines());
    updating_ = false;
    showSelections();
}

void ExclusionFilesDlg::takeSelections() {
    if (updating_)
        return;
    model_.selectExplicit(selectedLines(explicit_));
    model_.selectWildcards(selectedLines(wildcards_));
    updateButtons();
}

void ExclusionFilesDlg::showSelections() {
    updating_ = true;
    for (int row = 0; row < explicit_->count(); ++row)
        explicit_->item(row)->setSelected(model_.explicitSelection().count(static_cast<std::size_t>(row)) >
                                          0);
    for (int row = 0; row < wildcards_->count(); ++row)
        wildcards_->item(row)->setSelected(model_.wildcardSelection().count(static_cast<std::size_t>(row)) >
                                           0);
    updating_ = false;
    updateButtons();
}

void ExclusionFilesDlg::updateButtons() {
    remove_->setEnabled(model_.canRemove());
    removeWildcard_->setEnabled(model_.canRemoveWildcard());
}

void ExclusionFilesDlg::remove() {
    model_.remove();
    refill();
}

void ExclusionFilesDlg::removeWildcard() {
    model_.removeWildcard();
    refill();
}

void ExclusionFilesDlg::selectLost() {
    model_.selectLost();
    showSelections();
}

void ExclusionFilesDlg::browse() {
    ExclusionSet edited = model_.working();
    ExclusionBrowseDlg dialog(environment_, model_.browseStart(), &edited, showTooltips_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    model_.browsed(edited, dialog.currentFolder());
    refill();
}

void ExclusionFilesDlg::addWildcard() {
    std::string folder = model_.browseStart();
    WildcardEntryDlg dialog(environment_, folder, showTooltips_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<std::size_t> line = model_.addWildcard(dialog.text(), folder);
    refill();
    if (line && *line < static_cast<std::size_t>(wildcards_->count()))
        wildcards_->setCurrentRow(static_cast<int>(*line), QItemSelectionModel::NoUpdate);
}

} // namespace velmora::views
