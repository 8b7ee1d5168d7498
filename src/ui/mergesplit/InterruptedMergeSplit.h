#pragma once

class QWidget;
class Session;

// Tells, one by one, each Merge and Split that a kill interrupted (its journal in log/ is left
// and its window runs no more), naming the joint file and the step reached, with "Run it
// again" (the publisher settings dialog with the same values; the passwords are asked again)
// and "Dismiss" (the journal is removed). Called once the main window shows.
void OfferInterruptedMergeSplits(Session &session, QWidget *owner);
