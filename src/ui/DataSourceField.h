#pragma once

class QLineEdit;

// Offers the data sources the driver manager knows (user and system) as completions of a
// data source field; any other text stays allowed. The list is read again each time the
// field gets the focus, so a data source added meanwhile shows. A click into the field or
// the Down key shows the whole list; typing narrows it to the names that contain the text.
void OfferDataSources(QLineEdit *field);
