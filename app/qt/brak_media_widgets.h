// Small builders the Brakenholm media pages share.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QString>
#include <QVBoxLayout>
#include <initializer_list>
#include <string_view>

#include "qt/qt_text.h"

namespace tarvo::app::qt {

inline QSpinBox* NumberSpin(int minimum, int maximum, QWidget* parent = nullptr) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    return spin;
}

// A frame of radio buttons numbered 0.. in the order given.
inline QGroupBox* RadioFrame(const QString& title, std::initializer_list<const char*> choices,
                             QButtonGroup* group) {
    auto* frame = new QGroupBox(title);
    auto* layout = new QVBoxLayout(frame);
    int id = 0;
    for (const char* choice : choices) {
        auto* radio = new QRadioButton(QObject::tr(choice), frame);
        group->addButton(radio, id++);
        layout->addWidget(radio);
    }
    return frame;
}

// Checks radio `id` of `group`, or none when it has no such button.
inline void CheckRadio(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

// The contrast slider (11 positions) with its percentage beside it.
inline QSlider* ContrastSlider(QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(0, 10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setPageStep(1);
    return slider;
}

}  // namespace tarvo::app::qt
