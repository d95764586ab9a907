// SPDX-License-Identifier: GPL-3.0-or-later
// What the save/load window asks of the editor it serves: the array shown
// now (the order's scroll position and the text), putting a loaded array in
// its place, and bringing the editor back when the window closes. The array
// editor implements it; tests may give the save/load window a stand-in.
#pragma once

#include <QString>

namespace ravno {

struct LoadedArray;

class ArrayEditor
{
public:
    virtual int scrollPosition() const = 0;
    virtual QString arrayText() const = 0;
    // Empties the text, sets the order position, then the text, as a person
    // would, so that everything that follows the editor follows the load.
    virtual void loadArray(const LoadedArray &array) = 0;
    virtual void showEditor() = 0;

protected:
    ArrayEditor() = default;
    ~ArrayEditor() = default;
    ArrayEditor(const ArrayEditor &) = delete;
    ArrayEditor &operator=(const ArrayEditor &) = delete;
};

} // namespace ravno
