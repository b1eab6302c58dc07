#include "platform/telescope/indi_property_panel.h"

#include "platform/telescope/indi_number_format.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
QString stateColour(IndiState state) {
    switch (state) {
    case IndiState::Ok:
        return QStringLiteral("#2e7d32");
    case IndiState::Busy:
        return QStringLiteral("#b28900");
    case IndiState::Alert:
        return QStringLiteral("#c62828");
    default:
        return QStringLiteral("#757575");
    }
}

void showStateIn(QLabel* label, IndiState state) {
    label->setText(indiStateName(state));
    label->setStyleSheet(QStringLiteral("color: %1; font-weight: bold").arg(stateColour(state)));
}

QString labelOf(const IndiElement& e) {
    return e.label.isEmpty() ? e.name : e.label;
}
} // namespace

IndiPropertyPanel::IndiPropertyPanel(const IndiVector& vector, QWidget* parent)
    : QGroupBox(vector.label.isEmpty() ? vector.name : vector.label, parent), vector_(vector) {
    setObjectName(vector.name);
    auto* grid = new QGridLayout(this);
    state_ = new QLabel(this);
    grid->addWidget(state_, 0, 0);
    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: #c62828"));
    problem_->hide();
    if (vector.kind == IndiKind::Number)
        buildNumbers(grid);
    else if (vector.kind == IndiKind::Switch)
        buildSwitches(grid);
    else
        buildReadOnly(grid);
    grid->addWidget(problem_, grid->rowCount(), 0, 1, -1);
    showValues(vector);
}

void IndiPropertyPanel::buildNumbers(QGridLayout* grid) {
    for (const IndiElement& e : vector_.elements) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(labelOf(e), this), row, 1);
        shown_.push_back(new QLabel(this));
        grid->addWidget(shown_.back(), row, 2);
        if (vector_.writable) {
            edits_.push_back(new QLineEdit(formatIndiNumber(e.format, e.value).trimmed(), this));
            edits_.back()->setObjectName(e.name);
            grid->addWidget(edits_.back(), row, 3);
        }
    }
    if (!vector_.writable)
        return;
    auto* set = new QPushButton(tr("Set"), this);
    grid->addWidget(set, grid->rowCount() - 1, 4);
    connect(set, &QPushButton::clicked, this, &IndiPropertyPanel::sendTypedNumbers);
}

void IndiPropertyPanel::buildSwitches(QGridLayout* grid) {
    if (vector_.rule == IndiRule::OneOfMany)
        radios_ = new QButtonGroup(this);
    for (size_t i = 0; i < vector_.elements.size(); ++i) {
        const IndiElement& e = vector_.elements[i];
        QAbstractButton* button =
            radios_ ? static_cast<QAbstractButton*>(new QRadioButton(this)) : new QCheckBox(this);
        button->setText(labelOf(e));
        button->setObjectName(e.name);
        button->setEnabled(vector_.writable);
        if (radios_)
            radios_->addButton(button);
        grid->addWidget(button, int(i) + 1, 1);
        switches_.push_back(button);
        connect(button, &QAbstractButton::clicked, this,
                [this, i](bool checked) { switchClicked(int(i), checked); });
    }
}

void IndiPropertyPanel::buildReadOnly(QGridLayout* grid) {
    for (const IndiElement& e : vector_.elements) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(labelOf(e), this), row, 1);
        if (vector_.kind == IndiKind::Text) {
            edits_.push_back(new QLineEdit(this));
            edits_.back()->setReadOnly(true);
            edits_.back()->setObjectName(e.name);
            grid->addWidget(edits_.back(), row, 2);
        } else {
            shown_.push_back(new QLabel(this));
            shown_.back()->setObjectName(e.name);
            grid->addWidget(shown_.back(), row, 2);
        }
    }
    if (vector_.kind == IndiKind::Blob)
        grid->addWidget(new QLabel(tr("(binary data, not shown)"), this), grid->rowCount(), 1);
}

void IndiPropertyPanel::showValues(const IndiVector& vector) {
    vector_ = vector;
    showState();
    for (size_t i = 0; i < vector_.elements.size(); ++i) {
        const IndiElement& e = vector_.elements[i];
        if (vector_.kind == IndiKind::Number && i < shown_.size())
            shown_[i]->setText(formatIndiNumber(e.format, e.value).trimmed());
        else if (vector_.kind == IndiKind::Light && i < shown_.size())
            showStateIn(shown_[i], e.light);
        else if (vector_.kind == IndiKind::Text && i < edits_.size())
            edits_[i]->setText(e.text);
        else if (vector_.kind == IndiKind::Switch && i < switches_.size()) {
            // An exclusive group cannot uncheck its checked button.
            if (radios_)
                radios_->setExclusive(false);
            switches_[i]->setChecked(e.on);
            if (radios_)
                radios_->setExclusive(true);
        }
    }
}

void IndiPropertyPanel::showState() {
    showStateIn(state_, vector_.state);
}

void IndiPropertyPanel::sendTypedNumbers() {
    IndiVector changed = vector_;
    for (size_t i = 0; i < edits_.size() && i < changed.elements.size(); ++i) {
        IndiElement& e = changed.elements[i];
        const std::optional<double> typed = parseIndiNumber(edits_[i]->text());
        QString problem;
        if (!typed)
            problem = tr("%1: \"%2\" is not a number").arg(labelOf(e), edits_[i]->text());
        else if (e.min < e.max && (*typed < e.min || *typed > e.max))
            problem = tr("%1 must lie between %2 and %3")
                          .arg(labelOf(e), formatIndiNumber(e.format, e.min).trimmed(),
                               formatIndiNumber(e.format, e.max).trimmed());
        if (!problem.isEmpty()) {
            problem_->setText(problem);
            problem_->show();
            return;
        }
        e.value = *typed;
    }
    problem_->hide();
    emit sendRequested(changed);
}

void IndiPropertyPanel::switchClicked(int index, bool checked) {
    IndiVector changed = vector_;
    for (size_t i = 0; i < changed.elements.size(); ++i) {
        IndiElement& e = changed.elements[i];
        if (int(i) == index)
            e.on = checked;
        else if (vector_.rule != IndiRule::AnyOfMany && checked)
            e.on = false;
    }
    // Until the server answers, the buttons show what it last said.
    showValues(vector_);
    emit sendRequested(changed);
}
