#include "support/ParallelPipelines.h"

#include <QRegularExpression>

namespace bench {

namespace {

bool isSafeName(const QString& name)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_-]+$"));
    return safe.match(name).hasMatch();
}

} // namespace

ParallelPipelines::ParallelPipelines(const QStringList& names, const QString& inputExtension,
                                     const QStringList& encoder, const QString& outputExtension)
    : m_names(names), m_inputExtension(inputExtension), m_encoder(encoder), m_outputExtension(outputExtension)
{
    m_valid = !names.isEmpty() && !encoder.isEmpty() && isSafeName(inputExtension) && isSafeName(outputExtension) &&
              encoder.contains(outputMarker());
    for (const QString& name : names)
        m_valid = m_valid && isSafeName(name);
}

QString ParallelPipelines::shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

QString ParallelPipelines::script(int jobs) const
{
    // One pipeline, for the input named by $1.
    QString pipeline =
        QStringLiteral("ffmpeg -nostdin -v error -i \"$BENCH_IN/$1.%1\" -f wav - |").arg(m_inputExtension);
    for (const QString& argument : m_encoder) {
        pipeline += u' ';
        pipeline += argument == outputMarker() ? QStringLiteral("\"$BENCH_OUT/$1.%1\"").arg(m_outputExtension)
                                               : shellQuoted(argument);
    }
    return QStringLiteral("printf '%s\\n' %1 | xargs -P %2 -I {} sh -c %3 sh {}")
        .arg(m_names.join(u' '), QString::number(jobs), shellQuoted(pipeline));
}

MeasuredRun ParallelPipelines::run(int jobs, const QString& inputFolder, const QString& outputFolder,
                                   const QProcessEnvironment& env) const
{
    if (!m_valid)
        return {};
    QProcessEnvironment scriptEnv = env;
    scriptEnv.insert(QStringLiteral("BENCH_IN"), inputFolder);
    scriptEnv.insert(QStringLiteral("BENCH_OUT"), outputFolder);
    return MeasuredRun::of(QStringLiteral("sh"), {QStringLiteral("-c"), script(jobs)}, scriptEnv);
}

} // namespace bench
