// Holds the library's place until its first class lands.
