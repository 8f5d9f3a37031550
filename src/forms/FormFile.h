#pragma once

#include "frame/AmbientProperties.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QWidget;

namespace vq {

class Control;

// A form of the library's controls as a text file that people can read and edit: per control its class,
// its name and its place and size in twips, then the keys its WriteProperties saves, in that order, with
// typed values. Loading goes through each control's ReadProperties, so a form saved and loaded again is
// the same form.
//
//     VqForm 1
//
//     # A comment runs to the end of its line.
//     VqTextBox txtCustomer at 1200, 360 size 2400, 315 {
//         pDataType = 1
//         MaxLength = 10
//         ToolTipText = "Customer number\n(F1 lists them)"
//         ForeColor = 0x000000ff
//     }
//     VqDTPicker dtpOrdered at 1200, 840 size 1500, 315 {
//         MinDate = 2001-01-01T00:00:00Z
//         Value = 2026-12-06
//     }
//
// Grammar (blanks, tabs and line ends separate tokens anywhere; UTF-8, an optional byte-order mark):
//   form      = "VqForm" "1" { control }
//   control   = class name "at" left "," top "size" width "," height "{" { key "=" value } "}"
//   class     = identifier: a control class of the library ("VqTextBox", "VqOKButton" …)
//   name, key = identifier | string        (identifier: ASCII letters, digits and "_", not first a digit)
//   left, top = whole number of twips, -1000000 to 1000000; width, height 0 to 1000000
//   value     = string                     "text" with the escapes \" \\ \n \r \t \uXXXX; one line
//             | whole number               -12, 400 (a 32-bit, else a 64-bit integer)
//             | hex number                 0x80000008: a 32-bit unsigned value (a colour, 0x00BBGGRR, or a
//                                          system colour with the top bit set)
//             | rgb(R, G, B)               a colour from its parts, 0 to 255 each (read only; written in hex)
//             | number with a fraction     2.5, 1e-3, 36999.0, inf, -inf, nan
//             | true | false              a boolean
//             | null                       no value
//             | date                       2026-12-06
//             | date and time              2026-12-06T13:45:00, with .mmm milliseconds if any, then Z for
//                                          UTC, +HH:MM or -HH:MM for an offset, nothing for local time
//             | font(family, points {, style})   style: bold, italic, underline, strikeout, weight N
//             | font(description)          Qt's own description, for a font the short form cannot give
// Values equal to their defaults are not written. Controls are created in file order, which is their tab
// order. At most 16 MiB of text and 10000 controls.
//
// A file that cannot be loaded is refused with vq::FormFileError (forms/FormFileError.h), giving the line
// and column and why: not UTF-8 text or holding control characters (a binary file), too large, badly
// formed or cut short, an unknown class, a name used twice, a key given twice or not saved by its control
// (321); a value of the wrong type or range for its key (the control's 13 or 380). Nothing is left behind
// then: no control of the form exists after a refusal.
class FormFile
{
public:
    // Creates the form's controls as children of parent (shown when parent is given), reads each one's
    // saved properties and places it; returns them in file order. Throws vq::Error 53 for a missing file,
    // 75 for one that cannot be read, and vq::FormFileError for a file that is no form of these controls.
    static QList<Control *> load(const QString &path, QWidget *parent);
    // The same, for controls that run at their host's site: the ambient properties are given to each
    // control before it reads its properties (design mode, the form's font).
    static QList<Control *> load(const QString &path, QWidget *parent, const AmbientProperties &ambient);
    // Writes the controls' form in place of the file, all at once (a failed save leaves the old file).
    // Refuses a control without a name or more than 10000 controls (380), two controls of one name
    // (35602), a value the format cannot hold (13), and a file that cannot be written (75).
    static void save(const QString &path, const QList<Control *> &controls);

    // The same, from and to the form's text.
    static QList<Control *> fromText(const QByteArray &text, QWidget *parent);
    static QList<Control *> fromText(
        const QByteArray &text, QWidget *parent, const AmbientProperties &ambient);
    static QByteArray toText(const QList<Control *> &controls);

    // The library's controls placed directly on a form, in their creation (tab) order: what save takes.
    static QList<Control *> controlsOf(const QWidget *form);
};

} // namespace vq
