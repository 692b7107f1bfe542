#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace engine {

//! The descriptive tags of an audio file and its front cover, as plain text
//! (UTF-8 inside QString) and bytes: what the engine reads from an input and
//! what the converter writes into an output. An empty field is absent.
struct MediaTags {
    QString title;
    QString artist;
    QString album;
    QString albumArtist;
    QString track; // "3" or "3/12"
    QString disc;  // "1" or "1/2"
    QString date;  // a year or an ISO date
    QString genre;
    QString comment;
    QString composer;
    QString copyright;
    QString rating; // free text, kept by WMA outputs only

    QByteArray cover;  // the picture's bytes as stored (JPEG, PNG, …)
    QString coverMime; // "image/jpeg", "image/png", …

    bool hasText() const
    {
        for (const QString* field : textFields())
            if (!field->isEmpty())
                return true;
        return false;
    }
    bool isEmpty() const { return !hasText() && cover.isEmpty(); }

    //! Every text field, in declaration order.
    std::array<const QString*, 12> textFields() const
    {
        return {&title, &artist, &album,   &albumArtist, &track,     &disc,
                &date,  &genre,  &comment, &composer,    &copyright, &rating};
    }

    bool operator==(const MediaTags&) const = default;
};

} // namespace engine
