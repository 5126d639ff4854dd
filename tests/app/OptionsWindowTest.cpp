// The options window's tests.
