// The text an input method is still composing (shown underlined in the box
// until it is committed) belongs to the page it was typed on. A command that
// shows another page or covers a half has it committed there first; else the
// input method commits it later into whatever the box shows then.
#pragma once

namespace rvm {

// Commits a composition open in the focused text box into that box, which
// keeps the keyboard. Without one nothing happens.
void FinishComposition();

}  // namespace rvm
