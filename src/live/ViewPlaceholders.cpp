// Placeholders so the main frame can be built before the views; each view replaces its part.

