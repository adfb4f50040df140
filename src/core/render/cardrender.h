#pragma once
// The printed card: the header (name, address, telephones, dates, marks) and the service
// table (the month rows and the total row), each text at its layout position from the
// page margins. Only the data are drawn, for card stock that carries the rest, unless the
// form is asked for as well.
namespace pelkorl {

class Canvas;
struct CardState;

// Header of the selected publisher, when "print header" is ticked. Recomputes the margins
// for the canvas; leaves the canvas with its font and left/top alignment.
void drawCardHeader(Canvas& canvas, CardState& state);

// Month rows whose boxes are ticked and the total row when its box is. Recomputes the
// margins for the canvas; leaves its font and alignment as they were.
void drawServiceTable(Canvas& canvas, CardState& state);

// The whole card: the form when state.printForm, then header, then table.
void drawCard(Canvas& canvas, CardState& state);

} // namespace pelkorl
