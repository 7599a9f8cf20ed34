// "Interpretation file list": the interpretation text files and their ids.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/paths.h"
#include "files/interp_texts.h"
#include "gui/configuration_dialogs.h"
#include "gui/configuration_widgets.h"
#include "gui/gui_messages.h"
#include "gui/main_window.h"

namespace tellurim {
namespace {

QString without_colon(Str s) { return qs(text(s)).remove(':'); }

void add_row(QTreeWidget* list, const QString& id, const QString& path) {
    auto* item = new QTreeWidgetItem(list, {id, path});
    list->setCurrentItem(item);
}

}  // namespace

InterpListDialog::InterpListDialog(TellurimApp& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setWindowTitle(qs(text(Str::InterpDialogTitle)));
    // The list as the file holds it now: `tellurim interp add` may have changed it.
    app.interp_list() = load_interp_list(app.private_dir(), base_directory(), app.messages());
    m_files = new QTreeWidget(this);
    m_files->setObjectName("files");
    m_files->setHeaderLabels({without_colon(Str::ConfigInterpId), without_colon(Str::ConfigInterpPath)});
    m_files->setRootIsDecorated(false);
    m_files->setMinimumSize(560, 140);
    for (const InterpFile& f : app.interp_list().files) add_row(m_files, QString::number(f.id), qs(f.path));
    m_files->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_id = new QLineEdit(this);
    m_id->setObjectName("id");
    m_id->setMaximumWidth(90);
    m_path = new QLineEdit(this);
    m_path->setObjectName("path");
    auto* browse = side_button(qs(text(Str::DirBrowse)), this, "browse");
    auto* add_button = side_button(qs(text(Str::ConfigInterpAdd)), this, "add");
    auto* delete_button = side_button(qs(text(Str::ConfigInterpDelete)), this, "delete");
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString p = QFileDialog::getOpenFileName(this, windowTitle(), m_path->text(),
                                                       qt_filter(str(Str::ConfigInterpFilter) + " " +
                                                                 str(Str::ConfigInterpPattern)));
        if (!p.isEmpty()) m_path->setText(p);
    });
    connect(add_button, &QPushButton::clicked, this, &InterpListDialog::add);
    connect(delete_button, &QPushButton::clicked, this, &InterpListDialog::remove);
    connect(m_files, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item) return;
        m_id->setText(item->text(0));
        m_path->setText(item->text(1));
    });

    if (m_files->topLevelItemCount() > 0) m_files->setCurrentItem(m_files->topLevelItem(0));

    auto* grid = new QGridLayout;
    auto* id_label = new QLabel(qs(text(Str::ConfigInterpId)), this);
    id_label->setBuddy(m_id);
    auto* path_label = new QLabel(qs(text(Str::ConfigInterpPath)), this);
    path_label->setBuddy(m_path);
    grid->addWidget(id_label, 0, 0);
    grid->addWidget(m_id, 0, 1, Qt::AlignLeft);
    grid->addWidget(path_label, 1, 0);
    grid->addWidget(with_button(this, m_path, browse), 1, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(add_button);
    row->addWidget(delete_button);
    row->addStretch();
    grid->addLayout(row, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qs(text(Str::ConfigInterpCurrentList)), this));
    layout->addWidget(m_files);
    layout->addLayout(grid);
    layout->addWidget(ok_cancel(this));
    m_files->setFocus();
}

void InterpListDialog::add() {
    QString id = m_id->text().trimmed();
    if (id.isEmpty()) {
        // The next id, as `tellurim interp add` gives one.
        std::vector<InterpFile> files;
        for (int i = 0; i < m_files->topLevelItemCount(); ++i)
            if (auto f = interp_file_from_texts(m_files->topLevelItem(i)->text(0).toStdString(), "-")) files.push_back(*f);
        id = QString::number(next_interp_id(files));
    }
    add_row(m_files, id, m_path->text());
}

void InterpListDialog::remove() { delete m_files->currentItem(); }

void InterpListDialog::accept() {
    std::vector<InterpFile> files;
    for (int i = 0; i < m_files->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_files->topLevelItem(i);
        auto f = interp_file_from_texts(item->text(0).toStdString(), item->text(1).toStdString());
        if (!f) {
            m_app.messages().tell(str(Str::InterpItemNotValid) + std::to_string(i + 1), str(Str::InterpErrorCaption),
                                  MessageIcon::Error);
            m_files->setCurrentItem(m_files->topLevelItem(i));
            m_files->setFocus();
            return;
        }
        files.push_back(std::move(*f));
    }
    // The rules, the save and the new indexes of `tellurim interp add` and `interp delete`.
    if (auto refusal = replace_interp_files(m_app.interp_list(), std::move(files))) {
        m_app.messages().tell(*refusal, str(Str::InterpErrorCaption), MessageIcon::Error);
        m_files->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace tellurim
