#pragma once
// Holds the program's windows for the length of a printer exchange: the wait cursor
// shows over every window, and mouse and key input aimed at any of them is dropped,
// also input that arrived during a pause of the windows' pacer and was held back
// there, so nothing the user did meanwhile takes effect after the exchange. Holds
// nest; a modal window opened during an exchange (a message box) lifts the hold
// while it is up, so the user can answer it.
namespace zorvik {

class ExchangeHold {
public:
    ExchangeHold();
    ~ExchangeHold();
    ExchangeHold(const ExchangeHold&) = delete;
    ExchangeHold& operator=(const ExchangeHold&) = delete;

    // True while input is being dropped.
    static bool Holding();

    // Lifts the holds made so far for its own length; input that came in before it is
    // dropped first. A hold made while it is up holds again.
    class Lift {
    public:
        Lift();
        ~Lift();
        Lift(const Lift&) = delete;
        Lift& operator=(const Lift&) = delete;
    };
};

}  // namespace zorvik
