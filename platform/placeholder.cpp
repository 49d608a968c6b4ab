// Holds the library's place until its first stand-in lands.
