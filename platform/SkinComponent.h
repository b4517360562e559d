// SPDX-License-Identifier: MIT
#pragma once

#include <QVariant>
#include <QVariantList>

namespace vantorel
{

/// The skin component, reached only by dispatch identifier. Every call that
/// fails throws Failure.
class SkinComponent
{
public:
    virtual ~SkinComponent() = default;
    virtual QVariant invoke(int dispid, const QVariantList& arguments) = 0;
    virtual QVariant getProperty(int dispid) = 0;
    virtual void putProperty(int dispid, const QVariant& value) = 0;
};

} // namespace vantorel
