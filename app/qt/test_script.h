#pragma once
// A scripted sitting for the tests that start the real program: with TRAINER_TEST_SCRIPT naming a
// file of inputs ("HScroll1 a -1", one a line; verbs c s a t r as in the journal), the program
// gives them to the window one per turn of the event loop, from the first its sitting has not
// had yet, and writes after each a line to standard output: the inputs had, the record's cases,
// the window's fingerprint and a digest of the record without its times. With
// TRAINER_TEST_RESUME=1 it first continues the sitting it offers. Ends when the script does.

class Trainer;

// Starts the script when the environment asks for one; false otherwise.
bool startTestScript(Trainer& trainer);
