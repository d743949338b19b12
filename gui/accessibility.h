#pragma once

class QWidget;
class QString;

namespace gui {

// What assistive tools learn of the window beyond the toolkit's defaults:
//  - a figure label is named by its caption and holds its figure, with the unit beside it
//    ("Total de Plata", "189.08 RON"), where the toolkit would name it by its figure;
//  - the insurance list is named by its caption, where the toolkit names an editable list by
//    its text on this platform;
//  - a verdict panel is an alert, named by its caption, described by its text.
// Installed once per process, before the first window is built.
void installAccessibility();

// The widget's role for assistive tools, set by the window as it builds them.
void markFigure(QWidget* label, const QString& unit);
void markVerdict(QWidget* frame);
// A caption that labels no box, in a band a verdict panel may cover (before its interface is
// asked for).
void markCaption(QWidget* label);

// Tells assistive tools that a figure label's text changed from `before`.
void figureChanged(QWidget* label, const QString& before);

// Announces a verdict panel that has just appeared or whose text changed.
void announceVerdict(QWidget* frame);

} // namespace gui
