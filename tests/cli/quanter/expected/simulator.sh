#!/bin/sh
echo "simulator ran"
