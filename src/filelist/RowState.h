#pragma once

#include <QString>

namespace filelist {

//! Where a row of the file list stands. The words shown for it are chosen
//! where they are shown (see RowWords.h), in the language shown then; the
//! state itself never depends on a language.
enum class RowState : unsigned char {
    Waiting,         //!< not converted yet
    Converting,      //!< converting now; the row's progress says how far
    Complete,        //!< converted
    CompleteDamaged, //!< converted, but the input was damaged or cut short
    Cancelled,       //!< stopped by the user (the shorter file may be kept)
    Failed,          //!< the conversion failed; the reason says why
    NotSupported,    //!< the file could not be opened when it was added
    Skipped,         //!< not converted: a complete output of it was there already
};

//! Whether the state is a finished conversion.
constexpr bool isComplete(RowState state)
{
    return state == RowState::Complete || state == RowState::CompleteDamaged;
}

//! Why a row ended as it did, as data: the system's or the encoder's own words
//! (kept as they came), where a damaged input's damage began, or a code of
//! the program's own (a failure, the pass a converting row is in). Worded for
//! a person where it is shown.
struct RowReason {
    //! What the program words itself.
    enum class Code : unsigned char {
        None,
        NoOutputFolder, //!< the output folder is missing and cannot be made
        NoFreeName,     //!< every name of the collision sequence is taken
        MeasuringPass,  //!< converting: the first of two passes, measuring the loudness
        ConvertingPass, //!< converting: the second pass
        InvalidSamples, //!< complete, but the input held samples that were no numbers (made silent)
    };

    //! Words that are shown as they are ("No space left on device", the
    //! encoder's complaint); empty when there are none.
    QString text;
    //! Where the input's damage began and how long it said it was, in
    //! seconds; both negative when the input was whole.
    double damagedAt = -1;
    double damagedTotal = -1;
    Code code = Code::None;

    //! Whether the row's input was damaged: cut short, undecodable in parts,
    //! or holding invalid samples.
    bool damaged() const { return damagedAt >= 0 || code == Code::InvalidSamples; }
    bool isEmpty() const { return text.isEmpty() && !damaged() && code == Code::None; }
    bool operator==(const RowReason&) const = default;

    static RowReason words(const QString& text) { return {text, -1, -1, Code::None}; }
    static RowReason damage(double at, double total) { return {QString(), at, total, Code::None}; }
    static RowReason coded(Code code) { return {QString(), -1, -1, code}; }
};

} // namespace filelist
