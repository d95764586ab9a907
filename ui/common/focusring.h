// SPDX-License-Identifier: GPL-3.0-or-later
// The frame that shows which control has the keyboard. The styles' own
// focus marks are a faint tint on these black windows and grey buttons, and
// a scroll bar or a picture button shows none at all; the frame is the same
// on every control: two pixels of yellow outside a pixel of black, just
// outside the control (inside it where the control meets the client's
// edge). Yellow stands out from the black ground by about 19:1 and from the
// grey buttons by about 3.7:1, the black pixel parts it from any light edge.
#pragma once

class QWidget;

namespace ravno {

// Frames whichever control on the client area (or inside one of its
// controls) has the keyboard, for as long as the client lives.
void showFocusRing(QWidget *client);

} // namespace ravno
