#pragma once
// The dialogs place their controls at fixed spots made for the desktop's
// usual font. With a larger font a caption can outgrow its control; the
// dialog then grows as a whole, every spot and size by one factor, until
// each caption fits. At the usual font nothing moves.

class QWidget;

namespace formscale {

// Call after the captions are set; calling again starts from the design
// spots, so a longer caption later grows the form once more.
void GrowUntilCaptionsFit(QWidget* form);

}  // namespace formscale
